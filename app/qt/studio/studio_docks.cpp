#include "app/qt/studio/studio_docks.h"

#include "app/commands/actions.h"
#include "app/qt/studio/studio_editor.h"
#include "app/qt/studio/studio_host.h"
#include "app/qt/studio/studio_panes.h"
#include "app/qt/window/onscreen.h"
#include "app/session/prefs.h"

#include <QDockWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QSize STUDIO_SIZE(1180, 760);  // the window at least, with the panes
const QSize CLASSIC_SIZE(640, 480);  // the window's outer size out of studio view
constexpr int FIRST_LAYOUT_MS = 200; // the window manager has framed the window by then
constexpr int TEXT_W = 400, OUTLINE_W = 300, MESSAGES_H = 110; // the panes' first sizes

} // namespace

StudioDocks::StudioDocks(studio_host &h) : host(h) {}

// The Edit menu's items are the editor's own: they work once it is made.
void StudioDocks::add_items(std::function<void()> toggle_hints)
{
    auto own = [this](int id, std::function<void()> fn) {
        host.on_action(id, [this, fn] {
            if (built())
                fn();
        });
    };
    own(IDM_UNDO, [this] { panes.ed->undo(); });
    own(IDM_REDO, [this] { panes.ed->redo(); });
    own(IDM_FIND, [this] {
        find_bar->show();
        find_field->setFocus();
        find_field->selectAll();
    });
    own(IDM_FINDNEXT, [this] { find_next(true); });
    own(IDM_FINDPREV, [this] { find_next(false); });
    host.on_action(IDM_HINTS, std::move(toggle_hints));
}

void StudioDocks::find_next(bool forward) { panes.ed->find_text(find_field->text(), forward); }

// The editor, with its find bar below it.
QWidget *StudioDocks::build_text()
{
    auto *text = new QWidget;
    auto *col = new QVBoxLayout(text);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(2);
    panes.ed = new SceneEditor(text);
    col->addWidget(panes.ed, 1);
    find_bar = new QWidget(text);
    auto *row = new QHBoxLayout(find_bar);
    row->setContentsMargins(4, 0, 4, 2);
    find_field = new QLineEdit(find_bar);
    find_field->setObjectName("find");
    find_field->setPlaceholderText("Find in the text");
    auto *prev = new QToolButton(find_bar), *next = new QToolButton(find_bar);
    prev->setText("Previous");
    next->setText("Next");
    row->addWidget(new QLabel("Find:", find_bar));
    row->addWidget(find_field, 1);
    row->addWidget(prev);
    row->addWidget(next);
    col->addWidget(find_bar);
    find_bar->hide();
    connect(find_field, &QLineEdit::returnPressed, this, [this] { find_next(true); });
    connect(next, &QToolButton::clicked, this, [this] { find_next(true); });
    connect(prev, &QToolButton::clicked, this, [this] { find_next(false); });
    find_field->installEventFilter(this); // Esc closes the bar
    return text;
}

QDockWidget *StudioDocks::dock(const char *title, const char *name, QWidget *w, int area)
{
    auto *d = new QDockWidget(title, host.frame());
    d->setObjectName(name);
    d->setWidget(w);
    host.frame()->addDockWidget((Qt::DockWidgetArea)area, d);
    docks.push_back(d);
    return d;
}

// The text on the left, the outline and inspector on the right, the
// messages below.
const studio_panes &StudioDocks::build()
{
    QMainWindow *win = host.frame();
    QDockWidget *text_dock =
        dock("Scene text", "scene_text_pane", build_text(), Qt::LeftDockWidgetArea);
    panes.out = new OutlinePane(nullptr);
    QDockWidget *outline_dock = dock("Outline", "outline_pane", panes.out, Qt::RightDockWidgetArea);
    panes.insp = new InspectorPane(nullptr);
    auto *scroll = new QScrollArea;
    scroll->setWidget(panes.insp);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QDockWidget *insp_dock = dock("Inspector", "inspector_pane", scroll, Qt::RightDockWidgetArea);
    win->splitDockWidget(outline_dock, insp_dock, Qt::Vertical);
    panes.msgs = new MessagesPane(nullptr);
    QDockWidget *msgs_dock =
        dock("Messages", "messages_pane", panes.msgs, Qt::BottomDockWidgetArea);
    fresh_layout = [win, text_dock, outline_dock, msgs_dock] {
        win->resizeDocks({text_dock, outline_dock}, {TEXT_W, OUTLINE_W}, Qt::Horizontal);
        win->resizeDocks({msgs_dock}, {MESSAGES_H}, Qt::Vertical);
    };
    if (dock_layout.empty() ||
        !win->restoreState(QByteArray::fromBase64(QByteArray::fromStdString(dock_layout))))
        QTimer::singleShot(FIRST_LAYOUT_MS, this, fresh_layout); // once the window has its size
    return panes;
}

void StudioDocks::show(bool on)
{
    if (!on)
        dock_layout = host.frame()->saveState().toBase64().toStdString();
    for (QDockWidget *d : docks)
        d->setVisible(on);
    // Ctrl+S saves the scene here; the picture moves to Ctrl+Shift+S
    host.show_view(on ? VIEW_STUDIO : VIEW_PICTURE);
    fit_window(on);
}

// The window in studio view and out of it keeps a place and size of each,
// as the user last left them; the first time in studio view it grows to
// STUDIO_SIZE, and comes back to the size it had. Either fits the screen.
void StudioDocks::fit_window(bool on)
{
    QMainWindow *win = host.frame();
    QByteArray &leaving = on ? classic_geometry : studio_geometry;
    const QByteArray &coming = on ? studio_geometry : classic_geometry;
    // a window never shown has no place of its own yet
    leaving = win->isVisible() ? win->saveGeometry() : QByteArray();
    if (coming.isEmpty() || !win->restoreGeometry(coming)) {
        const QSize frame = win->frameGeometry().size() - win->size();
        win->resize(on ? win->size().expandedTo(STUDIO_SIZE) : CLASSIC_SIZE - frame);
    }
    if (win->isVisible())
        keep_on_screen_soon(win);
}

void StudioDocks::load_prefs(const prefs &p)
{
    studio_geometry = QByteArray::fromBase64(QByteArray::fromStdString(p.studio_geometry));
    dock_layout = p.docks;
}

void StudioDocks::save_prefs(prefs &p, bool on)
{
    if (on) {
        dock_layout = host.frame()->saveState().toBase64().toStdString();
        studio_geometry = host.frame()->saveGeometry();
        if (!classic_geometry.isEmpty())
            p.geometry = classic_geometry.toBase64().toStdString();
    }
    p.docks = dock_layout;
    p.studio_geometry = studio_geometry.toBase64().toStdString();
}

bool StudioDocks::eventFilter(QObject *o, QEvent *e)
{
    if (o == find_field &&
        (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape) {
        e->accept();
        if (e->type() == QEvent::KeyPress) {
            find_bar->hide();
            panes.ed->setFocus();
        }
        return true;
    }
    return QObject::eventFilter(o, e);
}
