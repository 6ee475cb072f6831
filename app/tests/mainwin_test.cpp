// The main window itself, headless: menus and keys, a render on screen
// and its progress, live view, two windows apart, the save prompt on
// close, help.
#include "app/commands/actions.h"
#include "app/commands/window_cmds.h"
#include "app/live/live_view.h"
#include "app/tests/window_fixture.h"

#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBrowser>
#include <atomic>
#include <sys/stat.h>

namespace {

TEST_F(Window, MenuCaptionsAndIds)
{
    QStringList bar; // as shown: the studio's Edit menu waits for its view
    for (QAction *act : win->menuBar()->actions())
        if (act->isVisible())
            bar << act->text();
    EXPECT_EQ(bar,
              QStringList({"File(F)", "RayTrace(&R)", "Printer(&P)", "Config(&C)", "Help(&H)"}));
    const std::pair<int, const char *> items[] = {
        {101, "Open *.BMP(&O)"},
        {102, "Save *.BMP(&S)"},
        {103, "Exit(&X)"},
        {201, "Open *.RT(&L)"},
        {202, "Make Image(&I)"},
        {203, "Make 3D Image(&3)"},
        {204, "Setting(&T)"},
        {400, "Printer(&P)"},
        {500, "Config(&C)"},
        {301, "Help(&H)"},
        {302, "About(&A)"},
        {205, "Save *.RT(&W)"},
        {206, "Live view(&V)"},
        {207, "Make Anaglyph(&G)"},
        {211, "Off"},
        {212, "2×2"},
        {214, "4×4"},
        {231, "Stop render"},
    };
    for (auto &[id, text] : items) {
        ASSERT_NE(win->action(id), nullptr) << id;
        EXPECT_EQ(win->action(id)->text(), text);
    }
    // Stop render shows its key, and waits for a render
    EXPECT_EQ(win->action(IDM_STOP)->shortcut(), QKeySequence(Qt::Key_Escape));
    EXPECT_FALSE(win->action(IDM_STOP)->isEnabled());
    EXPECT_EQ(win->windowTitle(), "KORU");
    EXPECT_FALSE(win->windowIcon().isNull());
    EXPECT_EQ(win->frameGeometry().size(), QSize(640, 480));
}

// The usual keys, shown in the menus, from the one table; in the scene
// studio's view Save *.BMP moves to Ctrl+Shift+S. No key does two things.
TEST_F(Window, ShortcutsAreShownAndNeverClash)
{
    const std::pair<int, const char *> keys[] = {
        {IDM_HELP, "F1"},     {IDM_OPENRT, "Ctrl+O"}, {IDM_SAVEBMP, "Ctrl+S"},
        {IDM_EXIT, "Ctrl+Q"}, {IDM_MAKE, "F5"},       {IDM_MAKE3D, "Shift+F5"},
    };
    for (auto &[id, k] : keys)
        EXPECT_EQ(win->action(id)->shortcut(), QKeySequence(k)) << id;
    EXPECT_EQ(win->action(IDM_OPENBMP)->text(), "Open *.BMP(&O)"); // mnemonics as ever
    for (int view : {VIEW_PICTURE, VIEW_STUDIO}) {
        win->apply_shortcuts(view);
        QStringList seen;
        for (QAction *act : win->findChildren<QAction *>())
            for (const QKeySequence &k : act->shortcuts())
                seen << k.toString();
        for (QShortcut *sc : win->findChildren<QShortcut *>())
            for (const QKeySequence &k : sc->keys())
                seen << k.toString();
        EXPECT_EQ(seen.removeDuplicates(), 0) << view;
        EXPECT_TRUE(seen.contains("Esc") && seen.contains("Ctrl+=") && seen.contains("Alt+F"));
    }
    EXPECT_EQ(win->action(IDM_SAVEBMP)->shortcut(), QKeySequence("Ctrl+Shift+S"));
    win->apply_shortcuts(VIEW_PICTURE);
}

// F5 makes the picture once there is a scene (greyed, and so deaf,
// before); Esc stops a render that runs.
TEST_F(Window, KeysMakeAndStopPictures)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(win));
    EXPECT_FALSE(win->action(IDM_MAKE)->isEnabled());
    QTest::keyClick(win, Qt::Key_F5);
    EXPECT_EQ(a->image_ready, 0);
    answer_file("T.RT");
    QTest::keyClick(win, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(a->rt_ready, 1);
    win->activateWindow(); // back from the dialog
    ASSERT_TRUE(QTest::qWaitForWindowActive(win));
    EXPECT_TRUE(win->action(IDM_MAKE)->isEnabled());
    QTest::keyClick(win, Qt::Key_F5);
    ASSERT_TRUE(rendered());
    EXPECT_EQ(a->image_ready, 1);
    expect_shows_its_grid(*win);

    // a render that runs until Esc has been pressed, the progress window
    // not yet up
    a->data_change = 0;
    const unsigned gen = d->gen;
    win->seams.progress_delay_ms = 1 << 30;
    gate pressed;
    std::atomic<bool> stopped{false};
    win->seams.fn = [&](render_job &job) {
        EXPECT_TRUE(pressed.wait());
        stopped = job.stopping();
        return (int)RAY_DONE; // the last row done as Esc came: Esc still wins
    };
    QTest::keyClick(win, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_TRUE(win->action(IDM_STOP)->isEnabled());
    QTest::keyClick(win, Qt::Key_Escape);
    pressed.open();
    ASSERT_TRUE(rendered());
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(d->gen == gen && a->data_change == 0 && a->busy == 0);
}

TEST_F(Window, RenderedPictureSitsAtTheTopLeft)
{
    open_and_render(); // the title names the scene; "*": the picture is unsaved
    EXPECT_EQ(win->windowTitle(), QString::fromStdString("[*]" + tmp.path + "/T.RT"));
    QImage shot = win->scroller()->viewport()->grab().toImage();
    for (int y : {0, 5, 11})
        for (int x : {0, 7, 15}) {
            int i = y * 16 + x;
            EXPECT_EQ(shot.pixel(x, y), qRgb(a->gdata->r[i], a->gdata->g[i], a->gdata->b[i]))
                << x << "," << y;
        }
    EXPECT_EQ(shot.pixel(16, 0), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(0, 12), qRgb(255, 255, 255));
    EXPECT_NE(shot.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Window, ReducedModesShowTheGridsColours)
{
    d->mode = 0;
    open_and_render();
    std::vector<unsigned char> dots(16 * 12 * 3);
    disp_grid_rgb(*d, dots.data(), 16 * 3);
    QImage shot = win->scroller()->viewport()->grab().toImage();
    for (int y = 0; y < 12; y++)
        for (int x = 0; x < 16; x++) {
            const unsigned char *d = &dots[(y * 16 + x) * 3];
            ASSERT_EQ(shot.pixel(x, y), qRgb(d[0], d[1], d[2])) << x << "," << y;
            for (int k = 0; k < 3; k++)
                ASSERT_TRUE(d[k] == 0 || d[k] == 255);
        }
}

TEST_F(Window, ZoomEnlargesWithoutSmoothing)
{
    open_and_render();
    on_modal([](QWidget *w) {
        auto *zoom = w->findChild<QLineEdit *>("f101");
        zoom->selectAll();
        QTest::keyClicks(zoom, "200");
        QTest::mouseClick(w->findChild<QPushButton *>("ok"), Qt::LeftButton);
    });
    run(IDM_CONFIG);
    EXPECT_EQ(d->zoom_size, 200);
    QImage shot = win->scroller()->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(30, 22), qRgb(a->gdata->r[11 * 16 + 15], a->gdata->g[11 * 16 + 15],
                                       a->gdata->b[11 * 16 + 15]));
    EXPECT_EQ(shot.pixel(31, 23), shot.pixel(30, 22));
    EXPECT_EQ(shot.pixel(32, 0), qRgb(255, 255, 255));
}

TEST_F(Window, CancelledRenderChangesNothing)
{
    open_and_render();
    a->data_change = 0;
    unsigned gen = d->gen;
    win->seams.hook = [](render_job &job) { job.cancel(); };
    run(IDM_MAKE3D);
    ASSERT_TRUE(rendered());
    EXPECT_EQ(a->image_ready, 1);
    EXPECT_EQ(a->data_change, 0);
    EXPECT_EQ(a->model.ixmx, 16);
    EXPECT_EQ(d->gen, gen);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Window, ProgressWindowCancelsTheRender)
{
    answer_file("T.RT");
    run(IDM_OPENRT);
    // a render that goes on until it is told to stop, as a long one would
    win->seams.progress_delay_ms = 0;
    gate cancelled;
    win->seams.fn = [&](render_job &job) {
        EXPECT_TRUE(cancelled.wait());
        EXPECT_TRUE(job.stopping());
        return (int)RAY_CANCELLED;
    };
    bool painted = false;
    on_modal([&](QWidget *w) {
        EXPECT_EQ(w->windowTitle(), "Tracing");
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        // the window still answers: its commands are greyed meanwhile
        win->view()->repaint();
        painted = true;
        EXPECT_EQ(a->busy, 1);
        EXPECT_FALSE(win->action(IDM_MAKE)->isEnabled());
        EXPECT_FALSE(win->action(IDM_OPENRT)->isEnabled());
        EXPECT_TRUE(win->action(IDM_ABOUT)->isEnabled());
        QTest::mouseClick(w->findChild<QPushButton *>("cancel"), Qt::LeftButton);
        cancelled.open();
    });
    run(IDM_MAKE);
    ASSERT_TRUE(rendered());
    EXPECT_TRUE(painted);
    EXPECT_EQ(a->image_ready, 0);
    EXPECT_EQ(a->busy, 0);
    EXPECT_TRUE(win->action(IDM_MAKE)->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Live view is remembered through Exit (its close turns it off), and
// ticked again at the next start; so is the anti-aliasing chosen.
TEST_F(Window, LiveViewIsRememberedThroughExit)
{
    win->command_live(true);
    win->action(IDM_AA1 + 2)->trigger();
    answer = ID_NO;
    run(IDM_EXIT);
    QApplication::processEvents();
    ASSERT_FALSE(win->isVisible());
    EXPECT_EQ(QSettings().value("live").toString(), "1");
    EXPECT_EQ(QSettings().value("aa").toString(), "3");
    MainWin again;
    again.load_prefs();
    EXPECT_TRUE(again.action(IDM_LIVE)->isChecked());
    EXPECT_TRUE(again.state().app.live);
    EXPECT_TRUE(again.action(IDM_AA1 + 2)->isChecked());
    EXPECT_EQ(again.state().app.aa_level, 3);
    again.command_live(false);
    again.save_prefs();
    QSettings().clear();
}

// Two windows in one process keep two states: each its own scene,
// picture, mode and zoom, shown in its own view; what one window does
// leaves the other as it was.
TEST_F(Window, TwoWindowsKeepTheirOwnState)
{
    open_and_render(); // T.RT: 16 x 12 in full colour at 100 %
    const unsigned gen = d->gen;
    const std::string u = tmp.file("U.RT", small_scene(10, 8, "20 180 90"));
    MainWin other;
    other.message_hook = [](const char *, const char *, int) { return ID_NO; };
    other.show();
    session &o = other.state();
    o.disp.mode = 0;
    o.disp.zoom_size = 200;
    other.open_start_file(u); // opened, and its picture made at once
    ASSERT_TRUE(wait_until([&] { return !o.app.busy; }));
    other.command(IDM_MAKE3D);
    ASSERT_TRUE(wait_until([&] { return !o.app.busy; }));
    ASSERT_EQ(o.app.image_ready, 1);
    EXPECT_EQ(other.windowTitle(), QString::fromStdString("[*]" + u));
    EXPECT_EQ(win->windowTitle(), QString::fromStdString("[*]" + tmp.path + "/T.RT"));
    EXPECT_EQ(d->gen, gen);
    EXPECT_EQ(a->model.ixmx, 16);
    EXPECT_EQ(o.disp.grid->w, 20);
    EXPECT_NE(a->gdata->g[0], o.app.gdata->g[0]);
    expect_shows_its_grid(*win);
    expect_shows_its_grid(other);
    EXPECT_EQ(win->scroller()->viewport()->grab().toImage().pixel(0, 0),
              qRgb(a->gdata->r[0], a->gdata->g[0], a->gdata->b[0]));

    // the first window's mode and zoom change, the other's stay
    set_mode(win->state(), 1);
    zoom_by(win->state(), -1);
    QApplication::processEvents();
    EXPECT_EQ(o.disp.mode, 0);
    EXPECT_EQ(o.disp.zoom_size, 200);
    EXPECT_EQ(d->grid->w, 11); // 75 % counts as 70 %
    expect_shows_its_grid(*win);
    expect_shows_its_grid(other);
}

TEST_F(Window, CloseAsksWhileThePictureIsUnsaved)
{
    open_and_render();
    EXPECT_TRUE(win->isWindowModified()); // the title says so too
    EXPECT_EQ(win->windowTitle(), "[*]" + QString::fromStdString(a->szFName));
    answer = ID_CANCEL;
    EXPECT_FALSE(win->close());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Image is changed !  Do you save ?");
    answer = ID_NO;
    run(IDM_EXIT); // a queued close request
    QApplication::processEvents();
    EXPECT_FALSE(win->isVisible());
}

TEST_F(Window, HelpOpensAtItsContents)
{
    run(IDM_HELP);
    QTextBrowser *help = win->help_window();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->toPlainText().contains("The .RT scene file, item by item"));
}

void mouse(QWidget *w, QEvent::Type t, QPoint at, Qt::MouseButton b, Qt::MouseButtons held)
{
    QMouseEvent e(t, at, w->mapToGlobal(at), b, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Live view: a scene file that an editor replaces is read again and shown

// Live view: a scene file that an editor replaces is read again and shown
// exactly; a drag over the picture turns the camera, and the picture at
// rest is Make Image's for the moved camera.
TEST_F(Window, LiveViewFollowsTheFileAndTheMouse)
{
    EXPECT_FALSE(win->statusBar()->isVisible()); // the status line is live view's
    win->command_live(true);
    EXPECT_TRUE(win->statusBar()->isVisible());
    answer_file("T.RT");
    run(IDM_OPENRT);
    auto idle = [this] { return !win->live()->running() && !win->live()->state().exact; };
    ASSERT_TRUE(wait_until([&] { return a->image_ready == 1 && idle(); }));
    EXPECT_EQ(a->data_change, 1);
    scene file = a->model;
    EXPECT_TRUE(shown_bytes(*a) == made_bytes(file));

    // an editor's save: a new file renamed over the old one
    const std::string path = tmp.path + "/T.RT";
    std::string text = small_scene(16, 12);
    text.replace(text.find("200 100 50"), 10, "20 180 90");
    tmp.file("T.new", text);
    ASSERT_EQ(std::rename((tmp.path + "/T.new").c_str(), path.c_str()), 0);
    ASSERT_TRUE(wait_until([&] { return a->model.pri[0].col.g == 180 && idle(); }));
    EXPECT_TRUE(shown_bytes(*a) == made_bytes(a->model));

    // a drag to the right turns the eye about the look point
    const double vx = a->model.vpnax, vy = a->model.vpnay, vz = a->model.vpnaz;
    QWidget *v = win->view();
    mouse(v, QEvent::MouseButtonPress, {4, 4}, Qt::LeftButton, Qt::LeftButton);
    for (int x = 6; x <= 14; x += 2)
        mouse(v, QEvent::MouseMove, {x, 6}, Qt::NoButton, Qt::LeftButton);
    mouse(v, QEvent::MouseButtonRelease, {14, 6}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(a->model.vpnax == vx && a->model.vpnay == vy && a->model.vpnaz == vz);
    ASSERT_TRUE(wait_until(idle));
    EXPECT_TRUE(shown_bytes(*a) == made_bytes(a->model));
    EXPECT_EQ(a->model.pri[0].col.g, 180);

    // a file that cannot be read keeps the picture and says why
    const std::vector<unsigned char> before = shown_bytes(*a);
    ASSERT_EQ(std::remove(path.c_str()), 0);
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0); // there, but no file
    ASSERT_TRUE(
        wait_until([&] { return win->statusBar()->currentMessage().contains("cannot read"); }));
    EXPECT_TRUE(shown_bytes(*a) == before);
    // the whole line as its tooltip; a click shows the session's messages
    EXPECT_EQ(win->statusBar()->toolTip(), win->statusBar()->currentMessage());
    QTest::mouseClick(win->statusBar(), Qt::LeftButton);
    ASSERT_NE(win->messages_window(), nullptr);
    EXPECT_TRUE(win->messages_window()->isVisible());
    EXPECT_TRUE(win->messages_window()->toPlainText().endsWith(win->statusBar()->toolTip()));
    win->command_live(false);
    EXPECT_FALSE(win->statusBar()->isVisible());
    EXPECT_FALSE(a->live);
}

} // namespace
