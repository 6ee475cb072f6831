#include "app/qt/window/mainwin.h"

#include "app/commands/actions.h"
#include "app/qt/anim/anim_dlg_qt.h"
#include "app/qt/anim/anim_player_qt.h"
#include "app/qt/live/live_qt.h"
#include "app/qt/studio/studio_qt.h"
#include "app/qt/window/actions_qt.h"
#include "app/qt/window/guide_qt.h"
#include "app/qt/window/onscreen.h"
#include "app/qt/window/to_window.h"
#include "app/qt/window/wheelguard.h"
#include "app/session/remember.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>

namespace {

constexpr int OUTER_W = 640, OUTER_H = 480;
constexpr int ROWS_MS = 30; // the rows traced shown anew

} // namespace

MainWin::MainWin() : jobs(to_window())
{
    setWindowTitle("KORU");
    setWindowIcon(QIcon(":/koru/koru.xpm"));
    build_view();
    driver = std::make_unique<LiveQt>(this, sess, ov, statusBar());
    studio_ = std::make_unique<Studio>(*this, sess, driver->driver(), *area);
    sess.parts = session_parts{&driver->driver(), studio_.get(), this};
    // the studio first: what it takes (a drag of the selection) the camera does not get
    area->on_mouse = [this](QMouseEvent *e) {
        if (!studio_->mouse(e))
            driver->mouse(e);
    };
    area->paint_over = [this](QPainter &p, bool rows) { studio_->paint(p, rows); };
    area->on_wheel = [this](QWheelEvent *e) {
        if (!studio_->wheel(e))
            driver->wheel(e);
    };
    area->on_key = [this](QKeyEvent *e) { return studio_->key(e) || driver->key(e); };
    build_menu();
    setAcceptDrops(true);
    resize(OUTER_W, OUTER_H);
    fit_view();
    qApp->installEventFilter(this);
    qApp->installEventFilter(new WheelGuard(this)); // the wheel scrolls panes, not their numbers
    guide_path = guide_found();
}

MainWin::~MainWin()
{
    jobs.stop(); // its rows go to ov
    sess.parts = session_parts{};
    qApp->removeEventFilter(this);
}

// The picture at the top-left of a white area that scrolls, and the rows
// of a job as they are traced, a few dozen times a second.
void MainWin::build_view()
{
    scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(false);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette pal = scroll->palette();
    pal.setColor(QPalette::Window, Qt::white);
    scroll->setPalette(pal);
    scroll->setBackgroundRole(QPalette::Window);
    area = new View(scroll, sess, ov, grid);
    scroll->setWidget(area);
    setCentralWidget(scroll);
    auto *tick = new QTimer(this);
    connect(tick, &QTimer::timeout, this, [this] {
        bool fresh;
        {
            std::lock_guard<std::mutex> lock(ov.m);
            fresh = ov.fresh;
        }
        if (fresh) {
            fit_view();
            area->update();
        }
    });
    tick->start(ROWS_MS);
}

void MainWin::build_menu()
{
    acts = new ActionSet(this, [this](int id) { run_action(id); });
    studio_->add_items();
    build_recent();
    acts->show_view(VIEW_PICTURE);
    commands_changed(); // greyed until there is a scene
}

// What a menu item or a key does: the window's own, or a command.
void MainWin::run_action(int id)
{
    const auto own = own_actions.find(id);
    if (own != own_actions.end())
        own->second();
    else if (id == KEY_FILE_MENU) // "File(F)" has no mnemonic of its own; Alt+F opens it
        menuBar()->setActiveAction(acts->menu(MENU_FILE)->menuAction());
    else
        command(id);
}

void MainWin::on_action(int id, std::function<void()> fn) { own_actions[id] = std::move(fn); }

void MainWin::apply_shortcuts(int view) { acts->apply_keys(view); }

void MainWin::show_view(int view) { acts->show_view(view); }

QAction *MainWin::action(int id) const { return acts->action(id); }

QMenu *MainWin::menu(int m) const { return acts->menu(m); }

void MainWin::fill_menu(QMenu *m, int menu, unsigned flag) { acts->fill(m, menu, flag); }

live_view *MainWin::live() const { return &driver->driver(); }

void MainWin::build_recent()
{
    QMenu *file = acts->menu(MENU_FILE);
    for (QAction *a : recent_actions) {
        file->removeAction(a);
        a->deleteLater();
    }
    recent_actions.clear();
    const std::vector<std::string> &recent = sess.app.recent_files;
    for (size_t i = 0; i < recent.size(); i++) {
        const QString path = QFile::decodeName(recent[i].c_str());
        // "&1 /path/ROOM.RT": the number chooses it from the keyboard
        QString shown = path;
        QString caption = QString("&%1 %2").arg(i + 1).arg(shown.replace("&", "&&"));
        auto *a = new QAction(caption, this);
        a->setObjectName(QString("recent%1").arg(i + 1));
        connect(a, &QAction::triggered, this, [this, path] { drop_file(path); });
        recent_actions.push_back(a);
    }
    if (!recent_actions.isEmpty()) {
        QAction *sep = new QAction(this);
        sep->setSeparator(true);
        recent_actions.push_back(sep);
    }
    file->insertActions(action(IDM_EXIT), recent_actions); // between Save and Exit
}

void MainWin::command(int id) { run_command(sess, id); }

void MainWin::command_live(bool on) { set_live(sess, on); }

void MainWin::drop_file(const QString &path)
{
    open_dropped(sess, QFile::encodeName(path).constData());
}

void MainWin::open_start_file(const std::string &path) { open_start(sess, path.c_str()); }

void MainWin::dragEnterEvent(QDragEnterEvent *e)
{
    const QList<QUrl> urls = e->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile() && !sess.app.busy)
        e->acceptProposedAction();
}

void MainWin::dropEvent(QDropEvent *e)
{
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    e->acceptProposedAction();
    const QString path = urls.first().toLocalFile();
    // after the drop has ended: the save prompt may ask
    QTimer::singleShot(0, this, [this, path] { drop_file(path); });
}

// The window's outer size, frame and title bar included, is 640 x 480
// once the window manager has put its frame around it.
void MainWin::fit_outer_size()
{
    if (fitted || geometry_restored || studio_->on())
        return;
    QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() < 0 || frame.height() < 0 || frame.width() > 200 || frame.height() > 200)
        return;
    resize(OUTER_W - frame.width(), OUTER_H - frame.height());
    if (!frame.isNull())
        fitted = true;
}

// The picture area is as large as the picture at its zoom: the scroll
// bars show when that is more than the window shows.
void MainWin::fit_view()
{
    const QSize want = area->wanted();
    if (area->size() != want)
        area->resize(want);
}

void MainWin::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    QTimer::singleShot(0, this, [this] { fit_outer_size(); });
    QTimer::singleShot(FRAMED_MS, this, [this] { fit_outer_size(); });
    keep_on_screen_soon(this);
}

// Dialogs and the help window open fully on the screen they are on; a
// click on the status line shows the session's messages.
bool MainWin::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::Show && o->isWidgetType()) {
        auto *w = static_cast<QWidget *>(o);
        if (w->isWindow() &&
            (qobject_cast<QDialog *>(w) || w == helpwin || w == guidewin || w == saidwin))
            keep_on_screen_soon(w);
    }
    if (e->type() == QEvent::MouseButtonRelease && o == statusBar()) {
        show_messages();
        return true;
    }
    return QMainWindow::eventFilter(o, e);
}

void MainWin::closeEvent(QCloseEvent *e)
{
    if (!close_asked(sess)) {
        e->ignore();
        return;
    }
    e->accept();
    save_prefs(); // while live view is still on, so that it is remembered so
    // what runs beside the window stops now: the process ends at once
    studio_->stop_work();
    driver->driver().set_on(false);
    driver->driver().pause();
    if (helpwin)
        helpwin->close();
    if (guidewin)
        guidewin->close();
    if (saidwin)
        saidwin->close();
}

void MainWin::load_prefs()
{
    QSettings qs;
    std::map<std::string, std::string> kv;
    for (const QString &k : qs.allKeys())
        kv[k.toStdString()] = qs.value(k).toString().toStdString();
    take_prefs(sess, prefs_from(kv));
    const prefs &p = sess.kept;
    if (!p.geometry.empty())
        geometry_restored =
            restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(p.geometry)));
    build_recent();
    if (p.live)
        command_live(true);
    studio_->load_prefs(p);
    if (p.studio)
        studio_->set_on(true);
    commands_changed(); // the ticks
}

void MainWin::save_prefs()
{
    give_prefs(sess);
    sess.kept.geometry = saveGeometry().toBase64().toStdString();
    studio_->save_prefs(sess.kept);
    QSettings qs;
    for (const auto &kv : prefs_to(sess.kept))
        qs.setValue(QString::fromStdString(kv.first), QString::fromStdString(kv.second));
}

void MainWin::set_run_config(int zoom, int m)
{
    if (zoom >= 0)
        sess.disp.zoom_size = zoom;
    if (m >= 0)
        sess.disp.mode = m;
}
