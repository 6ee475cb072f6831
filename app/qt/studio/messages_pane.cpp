// The list of problems (studio_panes.h's MessagesPane).
#include "app/qt/studio/studio_panes.h"

namespace {

constexpr int ITEM_ROLE = Qt::UserRole;

} // namespace

MessagesPane::MessagesPane(QWidget *parent) : QListWidget(parent)
{
    setObjectName("messages");
    setWordWrap(true);
    setUniformItemSizes(false);
    setTextElideMode(Qt::ElideNone);
    auto choose = [this](QListWidgetItem *it) {
        const QVariant m = it->data(ITEM_ROLE);
        if (m.isValid())
            emit chosen(m.toInt());
    };
    connect(this, &QListWidget::itemClicked, this, choose);
    connect(this, &QListWidget::itemActivated, this, choose);
}

void MessagesPane::show_marks(const std::vector<studio_mark> &marks)
{
    const QSignalBlocker quiet(this);
    clear();
    for (size_t i = 0; i < marks.size(); i++) {
        auto *it = new QListWidgetItem(QString::fromStdString(marks[i].text), this);
        if (marks[i].len)
            it->setData(ITEM_ROLE, (int)i);
    }
    if (marks.empty())
        show_note("No problems found.");
}

void MessagesPane::show_note(const QString &note)
{
    const QSignalBlocker quiet(this);
    clear();
    auto *it = new QListWidgetItem(note, this);
    it->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
}
