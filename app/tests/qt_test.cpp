// The window itself, headless: menus, a render on screen, dialogs,
// printing to a PDF file, the save prompt on close.
#include "app/tests/qt_wait.h"
#include "app/tests/script_ui.h"

#include "app/commands/actions.h"
#include "app/commands/commands.h"
#include "app/commands/window_cmds.h"
#include "app/qt/dialogs/dlgunits.h"
#include "app/qt/dialogs/progress_qt.h"
#include "app/qt/dialogs/setdlg_qt.h"
#include "app/qt/live/live_qt.h"
#include "app/qt/window/i18n.h"
#include "app/qt/window/mainwin.h"
#include "image/rgb.h"
#include "scene/scene.h"

#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <QWheelEvent>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTranslator>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>
#include <QLineEdit>
#include <QMouseEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Waiters for modal dialogs that have not come up yet; a test's leftovers
// are dropped before the next one.
std::vector<QTimer *> waiting;

// Runs f on the next modal dialog as soon as it is up.
void on_modal(std::function<void(QWidget *)> f)
{
    auto *t = new QTimer;
    t->setInterval(10);
    QObject::connect(t, &QTimer::timeout, [t, f] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            t->stop();
            waiting.erase(std::find(waiting.begin(), waiting.end(), t));
            t->deleteLater();
            f(w);
        }
    });
    waiting.push_back(t);
    t->start();
}

// A file dialog answered by typing name and pressing OK.
void answer_file(const QString &name)
{
    on_modal([name](QWidget *w) {
        auto *field = w->findChild<QLineEdit *>("name");
        field->selectAll();
        QTest::keyClicks(field, name);
        QTest::mouseClick(w->findChild<QPushButton *>("ok"), Qt::LeftButton);
    });
}

struct Window : ::testing::Test {
    temp_dir tmp;
    MainWin *win = nullptr;
    app_state *a = nullptr;     // the window's
    display_state *d = nullptr; // the window's
    std::vector<std::string> asked;
    int answer = ID_CANCEL;
    void SetUp() override
    {
        tmp.file("T.RT", small_scene(16, 12));
        win = new MainWin;
        a = &win->state().app;
        d = &win->state().disp;
        d->mode = 2; // full colour: dots equal the planes
        a->szTmpFilePath = a->szFilePath = tmp.path + "/";
        win->message_hook = [this](const char *text, const char *, int) {
            asked.push_back(text);
            return answer;
        };
        win->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        EXPECT_TRUE(waiting.empty()) << "a dialog the test waited for never came";
        for (QTimer *t : waiting)
            delete t;
        waiting.clear();
        delete win;
    }
    void run(int id) { win->action(id)->trigger(); }
    // The render that runs beside the window has ended, and shown what it
    // shows.
    bool rendered()
    {
        return wait_until([this] { return !a->busy; });
    }
    void open_and_render()
    {
        answer_file("T.RT");
        run(IDM_OPENRT);
        run(IDM_MAKE);
        ASSERT_TRUE(rendered());
        ASSERT_EQ(a->image_ready, 1);
    }
};

// Every dot the window's view shows is its own display grid's, copied at
// scale 1, and the view is white beyond it.
void expect_shows_its_grid(MainWin &w)
{
    const session &s = w.state();
    const copyrect c = disp_copy(s.disp, s.app.model.ixmx, s.app.model.iymx, 1);
    ASSERT_TRUE(c.sw > 0 && c.sh > 0 && c.dw == c.sw);
    std::vector<unsigned char> dots((size_t)s.disp.grid->w * s.disp.grid->h * 3);
    disp_grid_rgb(s.disp, dots.data(), s.disp.grid->w * 3);
    const QImage shot = w.scroller()->viewport()->grab().toImage();
    for (int y = 0; y < c.sh; y++)
        for (int x = 0; x < c.sw; x++) {
            const unsigned char *p = &dots[((size_t)y * s.disp.grid->w + x) * 3];
            ASSERT_EQ(shot.pixel(x, y), qRgb(p[0], p[1], p[2])) << x << "," << y;
        }
    EXPECT_EQ(shot.pixel(c.sw, 0), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(0, c.sh), qRgb(255, 255, 255));
}

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

// Double-clicks list entry row as a window system delivers it: click,
// press, double click, release.
void double_click(QListWidget *list, int row)
{
    QRect r = list->visualItemRect(list->item(row));
    EXPECT_FALSE(r.isEmpty());
    QWidget *vp = list->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, r.center());
    QTest::mousePress(vp, Qt::LeftButton, {}, r.center());
    QMouseEvent dbl(QEvent::MouseButtonDblClick, r.center(), vp->mapToGlobal(r.center()),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &dbl);
    if (vp->isVisible())
        QTest::mouseRelease(vp, Qt::LeftButton, {}, r.center());
}

TEST_F(Window, LoadDialogTakesAPatternAndADoubleClick)
{
    tmp.mkdir("sub");
    on_modal([this](QWidget *w) {
        auto *field = w->findChild<QLineEdit *>("name");
        auto *ok = w->findChild<QPushButton *>("ok");
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        EXPECT_FALSE(ok->isEnabled());
        QTest::keyClicks(field, "*.RT");
        EXPECT_TRUE(ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton);
        auto *list = w->findChild<QListWidget *>("list");
        EXPECT_EQ(list->item(0)->text(), "T.RT");
        EXPECT_EQ(list->item(0)->toolTip(), "T.RT"); // a long name is shortened, whole here
        EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);
        // into [sub] and back up through [..], then the file
        auto *path = w->findChild<QLineEdit *>("path");
        double_click(list, 2);
        EXPECT_EQ(path->text().toStdString(), tmp.path + "/sub");
        EXPECT_EQ(field->text(), "*.RT");
        EXPECT_EQ(list->item(0)->text(), "[..]");
        double_click(list, 0);
        EXPECT_EQ(path->text().toStdString(), tmp.path);
        double_click(list, 0);
        if (w->isVisible())
            w->findChild<QPushButton *>("cancel")->click();
    });
    run(IDM_OPENRT);
    EXPECT_EQ(a->rt_ready, 1);
    EXPECT_EQ(a->szTmpFileName, "T.RT");
}

TEST_F(Window, ConfigModeActsAtOnceAndStaysAfterCancel)
{
    d->mode = 0;
    on_modal([this](QWidget *w) {
        EXPECT_EQ(w->windowTitle(), "Configration");
        EXPECT_TRUE(w->findChild<QRadioButton *>("r102")->isChecked());
        EXPECT_EQ(w->findChild<QRadioButton *>("r104")->text(), "フルカラー");
        QTest::mouseClick(w->findChild<QRadioButton *>("r103"), Qt::LeftButton);
        EXPECT_EQ(d->mode, 1);
        QTest::mouseClick(w->findChild<QPushButton *>("cancel"), Qt::LeftButton);
    });
    run(IDM_CONFIG);
    EXPECT_EQ(d->mode, 1);
}

// Outside a Japanese locale (C and an unset LANG too) the English
// translation is loaded: every translation built into the program loads,
// and in it CONFIG shows no Japanese text, nothing cut off; under a
// Japanese locale the captions are the documented ones.
TEST_F(Window, ConfigSpeaksEnglishOutsideJapan)
{
    EXPECT_EQ(translation_for(QLocale("ja_JP")), "");
    for (const char *name : {"en_US", "de_DE", "C"})
        EXPECT_EQ(translation_for(QLocale(name)), ":/i18n/koru_en.qm") << name;
    const QStringList qms = QDir(":/i18n").entryList();
    EXPECT_TRUE(qms.contains("koru_en.qm"));
    auto japanese = [](const QString &t) {
        for (QChar c : t)
            if (c.unicode() >= 0x3000 && c.unicode() <= 0xffef)
                return true;
        return false;
    };
    config_form f;
    ConfSet_open(f, *d);
    for (const QString &qm : qms) {
        QTranslator t;
        ASSERT_TRUE(t.load(":/i18n/" + qm)) << qm.toStdString();
        ASSERT_TRUE(QCoreApplication::installTranslator(&t));
        ConfigDlg dlg(win, f);
        QStringList texts{dlg.windowTitle()};
        for (QAbstractButton *b : dlg.findChildren<QAbstractButton *>())
            texts << b->text();
        for (QLabel *l : dlg.findChildren<QLabel *>())
            texts << l->text();
        for (const QString &t : texts)
            EXPECT_FALSE(japanese(t)) << qm.toStdString() << ": " << t.toStdString();
        if (qm == "koru_en.qm") {
            EXPECT_EQ(dlg.windowTitle(), "Configuration");
            EXPECT_TRUE(texts.contains("Display mode") && texts.contains("8-colour diffusion") &&
                        texts.contains("256-colour diffusion") && texts.contains("Full colour"));
        }
        const QLabel *mode = dlg.findChild<QLabel *>("mode");
        EXPECT_GE(mode->width(), mode->sizeHint().width());
        for (QRadioButton *r : dlg.findChildren<QRadioButton *>()) {
            EXPECT_GE(r->width(), r->sizeHint().width()) << r->text().toStdString();
            EXPECT_LE(r->geometry().right(), dlg.width());
            EXPECT_GT(r->x(), mode->geometry().right());
        }
        QCoreApplication::removeTranslator(&t);
    }
    ConfigDlg ja(win, f);
    EXPECT_EQ(ja.windowTitle(), "Configration");
    EXPECT_EQ(ja.findChild<QRadioButton *>("r103")->text(), "256色誤差拡散");
}

// A dot size of 0 is refused in SETTING with the dialog left open; the
// picture stays as it was.
TEST_F(Window, SettingRefusesNoDots)
{
    open_and_render();
    const unsigned gen = d->gen;
    on_modal([this](QWidget *w) {
        auto *x = w->findChild<QLineEdit *>("f101");
        x->selectAll();
        QTest::keyClicks(x, "0");
        QTest::mouseClick(w->findChild<QPushButton *>("ok"), Qt::LeftButton);
        EXPECT_TRUE(w->isVisible());
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].rfind("The picture size 0 x 12 has no dots; nothing to render.\n", 0),
                  0u);
        EXPECT_TRUE(x->hasFocus() && x->selectedText() == "0");
        QTest::keyClicks(x, "8");
        QTest::mouseClick(w->findChild<QPushButton *>("ok"), Qt::LeftButton);
    });
    run(IDM_SETTING);
    EXPECT_EQ(a->model.ixmx, 8);
    EXPECT_TRUE(a->image_ready == 1 && d->gen == gen);
    expect_shows_its_grid(*win);
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

// The template's places, with the fields widened to show their values in
// full: nothing is cut off, nothing overlaps.
TEST_F(Window, SettingIsLaidOutInDialogUnits)
{
    a->model.rx = -123456.789012;
    a->model.vpnaz = 1e9;
    setting_form f;
    DataSet_open(f, a->model);
    SettingDlg dlg(win, f, win->state());
    dlg_units u = dialog_units(dlg.font());
    EXPECT_EQ(dlg.height(), du_size(u, 154, 108).height());
    QLineEdit *f110 = dlg.findChild<QLineEdit *>("f110");
    EXPECT_EQ(f110->geometry().topLeft(), du_rect(u, 55, 73, 22, 12).topLeft());
    EXPECT_EQ(f110->text(), "0.160000");
    int right = 0;
    for (int id = 101; id <= 110; id++) {
        QLineEdit *e = dlg.findChild<QLineEdit *>(QString("f%1").arg(id));
        EXPECT_GT(e->width() - 6, e->fontMetrics().horizontalAdvance(e->text())) << id;
        EXPECT_LE(e->geometry().right(), dlg.width()) << id;
        if (id == 103 || id == 104 || id == 105) {
            EXPECT_GT(e->x(), right) << id; // the columns stay apart
            right = e->geometry().right();
        }
    }
    EXPECT_EQ(dlg.windowTitle(), "Data setting");
}

TEST_F(Window, PrintsTheGridEnlargedOnAPdfPage)
{
    open_and_render();
    std::string pdf = tmp.path + "/page.pdf";
    win->print_hook = [pdf](QPrinter &p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(pdf));
        p.setFullPage(true);
        p.setPageMargins(QMarginsF(0, 0, 0, 0));
        p.setResolution(72);
        p.setPageSize(QPageSize(QPageSize::A4));
        return true;
    };
    run(IDM_PRINT);
    ASSERT_TRUE(QFile::exists(QString::fromStdString(pdf)));
    if (std::system("command -v pdftocairo >/dev/null") != 0)
        GTEST_SKIP() << "pdftocairo is not installed";
    std::string png = tmp.path + "/page";
    ASSERT_EQ(std::system(("pdftocairo -png -r 72 -singlefile " + pdf + " " + png).c_str()), 0);
    QImage page(QString::fromStdString(png + ".png"));
    ASSERT_EQ(page.size(), QSize(595, 842));
    // 595 / 16 = 37 and 842 / 12 = 70: each dot is a 37 x 37 block
    for (int y : {0, 11})
        for (int x : {0, 15}) {
            int i = y * 16 + x;
            QRgb want = qRgb(a->gdata->r[i], a->gdata->g[i], a->gdata->b[i]);
            EXPECT_EQ(page.pixel(x * 37 + 1, y * 37 + 1), want);
            EXPECT_EQ(page.pixel(x * 37 + 35, y * 37 + 35), want);
        }
    EXPECT_EQ(page.pixel(16 * 37 + 1, 5), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(5, 12 * 37 + 1), qRgb(255, 255, 255));
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

// Over a pane's fields the wheel is left to the pane (Qt hands an event
// nobody accepted to the parent, which scrolls); it steps a field only
// while the field has the keyboard focus.
TEST_F(Window, TheWheelStepsOnlyTheFieldBeingTyped)
{
    QScrollArea pane;
    auto *inside = new QWidget;
    auto *typing = new QLineEdit(inside); // where the focus is
    auto *spin = new QSpinBox(inside);
    auto *choice = new QComboBox(inside);
    spin->setRange(-10, 10);
    choice->addItems({"a", "b", "c"});
    spin->move(0, 40);
    choice->move(0, 80);
    pane.setWidget(inside);
    pane.show();
    typing->setFocus();
    QApplication::processEvents();
    const auto wheel = [](QWidget *w) {
        const QPointF at(5, 5);
        QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
        return e.isAccepted();
    };
    EXPECT_FALSE(wheel(spin));
    EXPECT_FALSE(wheel(choice));
    EXPECT_EQ(spin->value(), 0);
    EXPECT_EQ(choice->currentIndex(), 0);
    EXPECT_EQ(spin->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(choice->focusPolicy(), Qt::StrongFocus);
    spin->setFocus();
    choice->setFocus();
    EXPECT_TRUE(wheel(choice));
    EXPECT_EQ(choice->currentIndex(), 1);
}

// Enter answers the save prompt with Yes, and never replaces a file.
TEST_F(Window, EnterNeverReplacesAFile)
{
    win->message_hook = nullptr;
    for (int kind : {(int)MB_YESNOCANCEL, (int)MB_REPLACE}) {
        on_modal([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); });
        EXPECT_EQ(win->message("text", "caption", kind), kind == MB_REPLACE ? ID_NO : ID_YES);
    }
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

int main(int argc, char **argv)
{
    // headless unless told otherwise, with a private runtime directory
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static char dir[] = "/tmp/koru-xdg-XXXXXX";
    bool own_dir = !getenv("XDG_RUNTIME_DIR") && mkdtemp(dir);
    if (own_dir)
        setenv("XDG_RUNTIME_DIR", dir, 1);
    int rc;
    {
        QApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        // remembered settings go to a test place, never the user's, and
        // one of this process's own: tests run side by side
        QStandardPaths::setTestModeEnabled(true);
        QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QApplication::setOrganizationName("KORU-test");
        QApplication::setApplicationName("koru");
        QSettings().clear();
        ::testing::InitGoogleTest(&argc, argv);
        rc = RUN_ALL_TESTS();
    }
    if (own_dir)
        rmdir(dir);
    return rc;
}
