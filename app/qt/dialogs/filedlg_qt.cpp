#include "app/qt/dialogs/filedlg_qt.h"

#include "app/qt/dialogs/dlgunits.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

QString from_bytes(const std::string &s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

} // namespace

namespace {

// The template's list (71 units) cuts most names short: the list and the
// two fields grow by LIST_EXTRA units, the buttons move over by as much
// and the dialog widens with them. A name longer still is shortened in
// the middle, and shown whole as the entry's tooltip.
constexpr int LIST_EXTRA = 48;

QRect at(const dlg_units &u, int x, int y, int w, int h, int grow, int move)
{
    return du_rect(u, x + move, y, w + grow, h);
}

} // namespace

FileDlgQt::FileDlgQt(QWidget *parent, file_dlg &dlg, int which) : QDialog(parent), d(dlg)
{
    set_modal_frame(this);
    setWindowTitle(which ? "File save" : "File load");
    const dlg_units u = dialog_units(font());
    const int X = LIST_EXTRA;
    setFixedSize(du_size(u, 129 + X, 108));

    // controls in template order, which is also the tab order
    ok = new QPushButton("OK", this);
    ok->setObjectName("ok");
    ok->setGeometry(at(u, 84, 82, 42, 14, 0, X));
    ok->setDefault(true);
    auto *cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    cancel->setToolTip("Esc");
    cancel->setGeometry(at(u, 85, 53, 40, 14, 0, X));
    auto *l1 = new QLabel("File name:", this);
    l1->setGeometry(du_rect(u, 7, 8, 39, 9));
    auto *l2 = new QLabel("Path:", this);
    l2->setGeometry(du_rect(u, 7, 26, 20, 8));
    name = new QLineEdit(this);
    name->setObjectName("name");
    name->setGeometry(at(u, 47, 6, 78, 12, X, 0));
    name->setMaxLength(PATH_BYTES - 1);
    path = new QLineEdit(this);
    path->setObjectName("path");
    path->setGeometry(at(u, 47, 24, 78, 12, X, 0));
    path->setReadOnly(true);
    list = new QListWidget(this);
    list->setObjectName("list");
    list->setGeometry(at(u, 7, 42, 71, 65, X, 0));
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideMiddle);
    for (QLabel *l : {l1, l2})
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect_controls(cancel);
    seen_beeps = d.beeps;
    sync();
    name->setFocus();
    name->selectAll();
}

// Every user action goes to the dialog's logic; what changed shows.
void FileDlgQt::connect_controls(QPushButton *cancel)
{
    connect(ok, &QPushButton::clicked, this, [this] {
        FileOpenDlg_ok(d);
        sync();
    });
    connect(cancel, &QPushButton::clicked, this, &FileDlgQt::reject);
    connect(name, &QLineEdit::textEdited, this, [this](const QString &t) {
        FileOpenDlg_edit(d, QFile::encodeName(t).constData());
        sync();
    });
    connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (filling || row < 0)
            return;
        FileOpenDlg_select(d, row);
        sync();
    });
    connect(list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *it) {
        int row = list->row(it);
        if (row < 0)
            return;
        FileOpenDlg_dblclk(d, row);
        sync();
    });
}

void FileDlgQt::reject()
{
    FileOpenDlg_cancel(d);
    QDialog::reject();
}

// Show what the last step changed.
void FileDlgQt::sync()
{
    if (d.list_gen != seen_list) {
        seen_list = d.list_gen;
        filling = true;
        list->clear();
        for (const fd_entry &e : d.list) {
            auto *it = new QListWidgetItem(from_bytes(e.label), list);
            it->setToolTip(it->text());
        }
        filling = false;
        path->setText(from_bytes(d.dir));
        path->end(false); // the deepest directory is the one to see
    }
    if (d.field_gen != seen_field) {
        seen_field = d.field_gen;
        name->setText(from_bytes(d.field));
    }
    ok->setEnabled(d.ok_enabled);
    for (; seen_beeps < d.beeps; seen_beeps++)
        QApplication::beep();
    if (d.result == 1)
        accept();
}
