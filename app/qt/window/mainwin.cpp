#include "app/qt/window/mainwin.h"

#include "app/anim/anim_form.h"
#include "app/anim/anim_play.h"
#include "app/commands/commands.h"
#include "app/commands/actions.h"
#include "app/qt/window/actions_qt.h"
#include "app/dialogs/filedlg.h"
#include "app/qt/dialogs/filedlg_qt.h"
#include "app/qt/dialogs/setdlg_qt.h"
#include "app/qt/live/live_qt.h"
#include "app/qt/studio/studio_qt.h"
#include "app/qt/window/onscreen.h"
#include "app/qt/window/to_window.h"
#include "app/qt/window/wheelguard.h"
#include "app/session/cmdline.h"

#include <QApplication>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>

namespace {

constexpr int OUTER_W = 640, OUTER_H = 480;

} // namespace

MainWin::MainWin() : jobs(to_window())
{
    setWindowTitle("KORU");
    setWindowIcon(QIcon(":/koru/koru.xpm"));
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
    driver = std::make_unique<LiveDriver>(this, sess, ov, statusBar());
    studio_ = std::make_unique<Studio>(this, sess, driver.get(), area);
    area->on_mouse = [this](QMouseEvent *e) {
        studio_->mouse(e);
        driver->mouse(e);
    };
    area->paint_over = [this](QPainter &p, bool rows) { studio_->paint(p, rows); };
    area->on_wheel = [this](QWheelEvent *e) { driver->wheel(e); };
    area->on_key = [this](QKeyEvent *e) { return driver->key(e); };
    build_menu();
    setAcceptDrops(true);
    resize(OUTER_W, OUTER_H);
    fit_view();
    qApp->installEventFilter(this);
    qApp->installEventFilter(new WheelGuard(this)); // the wheel scrolls panes, not their numbers

    // rows as they are traced, a few dozen times a second
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
    tick->start(30);
}

MainWin::~MainWin()
{
    jobs.stop(); // its rows go to ov
    qApp->removeEventFilter(this);
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
    if (own != own_actions.end()) {
        own->second();
        return;
    }
    switch (id) {
    case KEY_FILE_MENU: // "File(F)" has no mnemonic of its own; Alt+F opens it all the same
        menuBar()->setActiveAction(acts->menu(MENU_FILE)->menuAction());
        return;
    case KEY_ZOOM_IN:
    case KEY_ZOOM_OUT:
    case KEY_ZOOM_100:
        config_key([this, id] {
            zoom_by(sess, id == KEY_ZOOM_IN ? 1 : id == KEY_ZOOM_OUT ? -1 : 0);
        });
        return;
    case KEY_MODE0:
    case KEY_MODE1:
    case KEY_MODE2:
        config_key([this, id] { set_mode(sess, id - KEY_MODE0); });
        return;
    }
    command(id);
}

// Config without its dialog.
void MainWin::config_key(const std::function<void()> &fn)
{
    driver->pause();
    acting(fn, [this] { driver->command_ran(0); }); // a paused frame starts again
}

void MainWin::on_action(int id, std::function<void()> fn) { own_actions[id] = std::move(fn); }

void MainWin::apply_shortcuts(int view) { acts->apply_keys(view); }

void MainWin::show_view(int view) { acts->show_view(view); }

void MainWin::build_recent()
{
    for (QAction *a : recent_actions) {
        acts->menu(MENU_FILE)->removeAction(a);
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
    // between Save and Exit
    acts->menu(MENU_FILE)->insertActions(action(IDM_EXIT), recent_actions);
}

void MainWin::set_aa(int level)
{
    sess.app.aa_level = level;
    commands_changed();
}

void MainWin::command_live(bool on)
{
    driver->set_on(on);
    commands_changed();
}

void MainWin::command(int id)
{
    if (!app_enabled(sess.app, id))
        return;
    if (id == IDM_STOP) {
        stop_job(sess);
        return;
    }
    if (!anim_player_stays(id))
        close_player();
    if (id == IDM_LIVE) {
        command_live(!sess.app.live);
        return;
    }
    if (studio_->command(id))
        return;
    studio_->before(id);
    // a live frame goes on only when nothing else wants the picture
    if (id != IDM_HELP && id != IDM_ABOUT)
        driver->pause();
    acting([this, id] { app_command(sess, id); }, [this, id] { driver->command_ran(id); });
}

// act, then what it may have changed that the window keeps: the zoom and
// the mode the user chose (remembered), the recent files, the followed
// file; then last. An act that started a job beside the window goes on
// once the job has ended.
void MainWin::acting(const std::function<void()> &act, std::function<void()> last)
{
    const int zoom_before = sess.disp.zoom_size, mode_before = sess.disp.mode;
    const bool was_busy = sess.app.busy;
    act();
    auto rest = [this, zoom_before, mode_before, last] {
        if (sess.disp.zoom_size != zoom_before)
            remembered.zoom = sess.disp.zoom_size;
        if (sess.disp.mode != mode_before)
            remembered.mode = sess.disp.mode;
        build_recent();
        fit_view();
        driver->follow();
        studio_->after();
        show_title(); // a picture saved, or a scene opened
        commands_changed();
        if (last)
            last();
    };
    if (!was_busy && sess.app.busy)
        sess.after_job = rest;
    else
        rest();
}

// A scene opened outside the menu: its picture is made at once, by the
// live view when it is on.
void MainWin::opened(int scene, int read)
{
    if (scene && read && !driver->state().on)
        app_command(sess, IDM_MAKE);
    // a scene that was not read changed nothing live view shows
    driver->command_ran(scene && read ? IDM_OPENRT : IDM_OPENBMP);
}

void MainWin::drop_file(const QString &path)
{
    close_player();
    driver->pause();
    const QByteArray name = QFile::encodeName(path);
    const int scene = !is_picture_name(name.toStdString());
    int read = 0;
    acting([&] { read = open_file(sess, name.constData()); });
    opened(scene, read);
}

void MainWin::open_start_file(const std::string &path)
{
    const int scene = !is_picture_name(path);
    int read = 0;
    acting([&] {
        if (scene)
            read = open_scene(sess, path.c_str());
        else
            open_picture(sess, path.c_str());
    });
    opened(scene, read);
}

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

QAction *MainWin::action(int id) const { return acts->action(id); }

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
        if (w->isWindow() && (qobject_cast<QDialog *>(w) || w == helpwin || w == saidwin))
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
    driver->pause();
    if (!app_close(sess)) {
        e->ignore();
        driver->command_ran(0); // a paused frame starts again
        return;
    }
    e->accept();
    save_prefs(); // while live view is still on, so that it is remembered so
    // what runs beside the window stops now: the process ends at once
    studio_->stop_work();
    driver->set_on(false);
    driver->pause();
    if (helpwin)
        helpwin->close();
    if (saidwin)
        saidwin->close();
}

void MainWin::load_prefs()
{
    QSettings qs;
    std::map<std::string, std::string> kv;
    for (const QString &k : qs.allKeys())
        kv[k.toStdString()] = qs.value(k).toString().toStdString();
    remembered = prefs_from(kv);
    sess.disp.zoom_size = remembered.zoom;
    sess.disp.mode = remembered.mode;
    sess.app.recent_files = remembered.recent;
    set_aa(remembered.aa);
    if (!remembered.folder.empty() && QFileInfo(QString::fromStdString(remembered.folder)).isDir())
        sess.app.szTmpFilePath = sess.app.szFilePath = remembered.folder;
    if (!remembered.geometry.empty())
        geometry_restored =
            restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(remembered.geometry)));
    build_recent();
    if (remembered.live)
        command_live(true);
    studio_->load_prefs(remembered);
    if (remembered.studio)
        studio_->set_on(true);
}

void MainWin::save_prefs()
{
    remembered.recent = sess.app.recent_files;
    remembered.aa = sess.app.aa_level;
    remembered.folder = sess.app.szTmpFilePath;
    remembered.live = sess.app.live;
    remembered.geometry = saveGeometry().toBase64().toStdString();
    studio_->save_prefs(remembered);
    QSettings qs;
    for (const auto &kv : prefs_to(remembered))
        qs.setValue(QString::fromStdString(kv.first), QString::fromStdString(kv.second));
}

void MainWin::set_run_config(int zoom, int m)
{
    if (zoom >= 0)
        sess.disp.zoom_size = zoom;
    if (m >= 0)
        sess.disp.mode = m;
}

int MainWin::message(const char *text, const char *caption, int kind)
{
    if (message_hook)
        return message_hook(text, caption, kind);
    QMessageBox box(this);
    box.setWindowTitle(QString::fromUtf8(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(text));
    switch (kind) {
    case MB_ERROR:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MB_YESNOCANCEL:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MB_REPLACE: // Enter must not replace a file
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    default:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return ID_OK;
    case QMessageBox::Yes:
        return ID_YES;
    case QMessageBox::No:
        return ID_NO;
    default:
        return ID_CANCEL;
    }
}

int MainWin::file_dialog(file_dlg &d)
{
    FileDlgQt dlg(this, d, d.app->load_save);
    dlg.exec();
    return d.result == 1 ? 1 : 0;
}

int MainWin::setting_dialog(setting_form &f)
{
    SettingDlg dlg(this, f, sess);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

int MainWin::config_dialog(config_form &f)
{
    ConfigDlg dlg(this, f);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

void MainWin::run_render(render_job &job, std::function<void(int)> done)
{
    if (seams.hook)
        seams.hook(job);
    progress = std::make_unique<JobProgress>(
        this, "Tracing", seams.progress_delay_ms, [this] { stop_job(sess); },
        [&job](ProgressDlg &dlg) {
            if (job.stopping())
                return;
            const int rows = job.rows(), done = job.rows_done();
            dlg.show_progress(QString("%1 of %2 rows traced").arg(done).arg(rows), done,
                              rows > 0 ? rows : 1);
        });
    const auto fn = seams.fn;
    jobs.start([&job, fn] { return fn ? fn(job) : job.run(); },
               [this, done](int rc) {
                   job_ended();
                   done(rc);
               },
               [&job] { job.cancel(); });
}

// The job's progress window goes, and the rows it showed.
void MainWin::job_ended()
{
    progress.reset();
    overlay_off();
}

row_fn MainWin::row_display() { return overlay_rows(ov, 0, 0); }

int MainWin::print_setup(const char *docname, int &pw, int &ph)
{
    return pages.setup(this, print_hook, docname, sess.app.szFName, pw, ph);
}

int MainWin::print_page(const display_state &d, int w, int h, int scale, msglist &msgs)
{
    return pages.page(grid.of(d), disp_copy(d, w, h, scale), msgs);
}

void MainWin::overlay_off()
{
    overlay_clear(ov);
    fit_view();
    area->update();
}

void MainWin::commands_changed() { acts->refresh(sess); }

void MainWin::set_title(const char *t)
{
    title = QFile::decodeName(t);
    show_title();
}

void MainWin::show_title()
{
    // "[*]" would be taken for the changed-document mark
    QString t = title;
    t.replace("[*]", "[*][*]");
    // "*": in studio view the text is unsaved, out of it the picture
    const bool unsaved = studio_->on() ? sess.studio.modified : picture_unsaved(sess.app);
    setWindowTitle(studio_->on() || unsaved ? "[*]" + t : t);
    setWindowModified(unsaved);
}

void MainWin::status(const char *text)
{
    const QString line = QString::fromUtf8(text);
    statusBar()->showMessage(line);
    statusBar()->setToolTip(line);
}

void MainWin::wait_cursor(int on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWin::invalidate()
{
    fit_view();
    area->update();
    show_title(); // a new picture is an unsaved one
}

void MainWin::help()
{
    if (!helpwin) {
        helpwin = new QTextBrowser(this);
        helpwin->setWindowFlags(Qt::Window);
        helpwin->setWindowTitle("KORU Help");
        helpwin->setWindowIcon(windowIcon());
        helpwin->setOpenExternalLinks(false);
        helpwin->resize(620, 520);
        place_over(helpwin, this);
        auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), helpwin);
        connect(esc, &QShortcut::activated, helpwin, &QWidget::close);
    }
    // always at the contents
    helpwin->setSource(QUrl("qrc:/koru/help.html"));
    helpwin->scrollToAnchor("contents");
    helpwin->show();
    helpwin->raise();
    helpwin->activateWindow();
}

void MainWin::show_messages()
{
    if (!saidwin) {
        saidwin = new QPlainTextEdit(this);
        saidwin->setWindowFlags(Qt::Window);
        saidwin->setWindowTitle("KORU Messages");
        saidwin->setWindowIcon(windowIcon());
        saidwin->setReadOnly(true);
        saidwin->resize(620, 360);
        place_over(saidwin, this);
        auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), saidwin);
        connect(esc, &QShortcut::activated, saidwin, &QWidget::close);
    }
    saidwin->setPlainText(QString::fromUtf8(log_text(sess.said).c_str()));
    saidwin->moveCursor(QTextCursor::End); // the newest last, in view
    saidwin->show();
    saidwin->raise();
    saidwin->activateWindow();
}

void MainWin::close_window()
{
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}
