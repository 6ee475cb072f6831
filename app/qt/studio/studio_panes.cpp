#include "app/qt/studio/studio_panes.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <climits>

namespace {

constexpr int ITEM_ROLE = Qt::UserRole;

QString qs(const std::string &s) { return QString::fromStdString(s); }

bool same_fields(const std::vector<inspector_row> &a, const std::vector<inspector_row> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++)
        if (!(a[i].field == b[i].field) || a[i].kind != b[i].kind)
            return false;
    return true;
}

} // namespace

// ---- OutlinePane

OutlinePane::OutlinePane(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName("outline");
    setColumnCount(2);
    setHeaderLabels({"Item", "Line"});
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setRootIsDecorated(true);
    setSelectionMode(ExtendedSelection);
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (selected() >= 0)
            emit chosen(selected());
    });
}

void OutlinePane::show_items(const std::vector<outline_item> &items)
{
    const QSignalBlocker quiet(this);
    clear();
    QTreeWidgetItem *group = nullptr;
    for (size_t i = 0; i < items.size(); i++) {
        const outline_item &it = items[i];
        QTreeWidgetItem *row =
            it.depth > 0 && group ? new QTreeWidgetItem(group) : new QTreeWidgetItem(this);
        row->setText(0, qs(it.label));
        if (it.line)
            row->setText(1, QString::number(it.line));
        row->setData(0, ITEM_ROLE, (int)i);
        if (it.kind == OUT_GROUP)
            group = row;
        else if (it.depth == 0)
            group = nullptr;
    }
    expandAll();
    viewport()->update(); // all of it: a shorter list leaves no rows of the longer one
}

void OutlinePane::select_item(int item)
{
    const QSignalBlocker quiet(this);
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if ((*it)->data(0, ITEM_ROLE).toInt() == item) {
            if (!(*it)->isSelected()) {
                clearSelection();
                (*it)->setSelected(true);
            }
            setCurrentItem(*it, 0, QItemSelectionModel::NoUpdate);
            scrollToItem(*it);
            return;
        }
    clearSelection();
}

int OutlinePane::selected() const
{
    const std::vector<int> all = items();
    return all.empty() ? -1 : all[0];
}

std::vector<int> OutlinePane::items() const
{
    std::vector<int> out;
    if (currentItem() && currentItem()->isSelected())
        out.push_back(currentItem()->data(0, ITEM_ROLE).toInt());
    for (QTreeWidgetItem *it : selectedItems())
        if (it != currentItem())
            out.push_back(it->data(0, ITEM_ROLE).toInt());
    return out;
}

// ---- RealBox

RealBox::RealBox(QWidget *parent) : QAbstractSpinBox(parent)
{
    setKeyboardTracking(false);
    setAccelerated(true);
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        if (lineEdit()->text() != shown) {
            shown = lineEdit()->text();
            emit committed(shown);
        }
    });
}

void RealBox::set_text(const QString &t)
{
    shown = t;
    lineEdit()->setText(t);
}

void RealBox::stepBy(int steps)
{
    const std::string next = stepped_text(lineEdit()->text().toStdString(), false, steps);
    if (next.empty())
        return;
    set_text(qs(next));
    emit committed(shown);
}

// ---- InspectorPane

InspectorPane::InspectorPane(QWidget *parent) : QWidget(parent)
{
    setObjectName("inspector");
    auto *outer = new QVBoxLayout(this);
    title = new QLabel(this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    outer->addWidget(title);
    form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    outer->addLayout(form);
    outer->addStretch(1);
    title->setText("Nothing selected");
}

void InspectorPane::show_rows(const QString &t, const std::vector<inspector_row> &rows)
{
    title->setText(t.isEmpty() ? QString("Nothing selected") : t);
    if (same_fields(rows, shown))
        update_values(rows);
    else
        rebuild(rows);
    shown = rows;
    update_colour();
}

void InspectorPane::rebuild(const std::vector<inspector_row> &rows)
{
    while (form->rowCount() > 0)
        form->removeRow(0);
    boxes.clear();
    colour = nullptr;
    for (const inspector_row &row : rows) {
        if (row.field.sec == SEC_PRIM && row.field.field == P_R) {
            colour = new QPushButton(this);
            colour->setObjectName("colour");
            colour->setToolTip("Choose the colour");
            connect(colour, &QPushButton::clicked, this, [this] {
                const QColor c =
                    QColorDialog::getColor(colour->palette().button().color(), this, "Colour");
                if (!c.isValid())
                    return;
                std::vector<field_value> v;
                const int ch[3] = {c.red(), c.green(), c.blue()};
                for (int k = 0; k < 3; k++)
                    v.push_back({field_ref{SEC_PRIM, shown[0].field.index, P_R + k},
                                 std::to_string(ch[k])});
                emit edit(v);
            });
            form->addRow("colour", colour);
        }
        QWidget *w = editor_for(row);
        w->setObjectName(qs(field_text(row.field)));
        w->setToolTip(qs(row.about));
        auto *label = new QLabel(qs(row.name), this);
        label->setToolTip(qs(row.about));
        form->addRow(label, w);
        boxes.push_back(w);
    }
    update_values(rows);
}

QWidget *InspectorPane::editor_for(const inspector_row &row)
{
    const field_ref f = row.field;
    if (row.kind == FK_CODE) {
        auto *box = new QComboBox(this);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(6);
        for (const field_choice &c : row.choices)
            box->addItem(QString("%1 %2").arg(c.value).arg(c.name), c.value);
        connect(box, QOverload<int>::of(&QComboBox::activated), this, [this, box, f](int i) {
            emit edit({{f, std::to_string(box->itemData(i).toInt())}});
        });
        return box;
    }
    if (row.whole) {
        auto *box = new QSpinBox(this);
        box->setRange(INT_MIN, INT_MAX);
        box->setKeyboardTracking(false);
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, [this, f](int v) {
            emit edit({{f, std::to_string(v)}});
        });
        return box;
    }
    auto *box = new RealBox(this);
    connect(box, &RealBox::committed, this, [this, f](const QString &t) {
        emit edit({{f, t.trimmed().toStdString()}});
    });
    return box;
}

void InspectorPane::update_values(const std::vector<inspector_row> &rows)
{
    for (size_t i = 0; i < rows.size() && i < boxes.size(); i++) {
        QWidget *w = boxes[i];
        const inspector_row &row = rows[i];
        if (w->hasFocus() && i < shown.size() && shown[i].text == row.text)
            continue; // the user is in it
        const QSignalBlocker quiet(w);
        if (auto *c = qobject_cast<QComboBox *>(w)) {
            const int v = (int)row.value;
            int at = c->findData(v);
            if (at < 0) { // a code KORU does not know: shown as it stands
                c->addItem(QString("%1 (unknown)").arg(v), v);
                at = c->count() - 1;
            }
            c->setCurrentIndex(at);
        } else if (auto *sb = qobject_cast<QSpinBox *>(w)) {
            sb->setValue((int)row.value);
        } else if (auto *rb = qobject_cast<RealBox *>(w)) {
            rb->set_text(qs(row.text));
        }
    }
}

void InspectorPane::update_colour()
{
    if (!colour)
        return;
    int ch[3] = {0, 0, 0};
    for (const inspector_row &row : shown)
        if (row.field.sec == SEC_PRIM && row.field.field >= P_R && row.field.field <= P_B)
            ch[row.field.field - P_R] = (int)row.value;
    const QColor c(qBound(0, ch[0], 255), qBound(0, ch[1], 255), qBound(0, ch[2], 255));
    colour->setText(c.name());
    QPalette pal = colour->palette();
    pal.setColor(QPalette::Button, c);
    pal.setColor(QPalette::ButtonText, c.lightness() > 128 ? Qt::black : Qt::white);
    colour->setPalette(pal);
    colour->setAutoFillBackground(true);
}
