// Make Animation in the window, headless: the dialog, the frames written
// as koru-cli writes them, the player showing them through the display,
// and Cancel leaving no file.
#include "app/tests/qt_wait.h"
#include "app/tests/script_ui.h"

#include "app/anim/anim_form.h"
#include "app/commands/window_cmds.h"
#include "app/qt/anim/anim_dlg_qt.h"
#include "app/qt/anim/anim_player_qt.h"
#include "app/qt/window/mainwin.h"
#include "base/msg.h"
#include "image/animfile.h"
#include "trace/anim.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

void set_text(QWidget *dlg, const char *name, const QString &text)
{
    auto *e = dlg->findChild<QLineEdit *>(name);
    ASSERT_NE(e, nullptr) << name;
    e->setText(text);
}

// The dialog filled in for a turntable of 3 frames at 32 x 24 into out.
void fill(QWidget *dlg, const QString &out)
{
    dlg->findChild<QCheckBox *>("orbit")->setChecked(true);
    set_text(dlg, "deg", "360");
    set_text(dlg, "frames", "3");
    set_text(dlg, "width", "32");
    set_text(dlg, "height", "24");
    set_text(dlg, "out", out);
}

// A red ball on a grey floor, seen at a slant: a turn round the look
// point moves the ball across the picture.
const char *const BALL = "0 0 0\n0.6 -1 0.6\n10 4\n16 12\n1\n3 -4 8 1\n0\n"
                         "1 1 0.3 0.6 0 0 1 1 0 0 1 1 0 0 1 0 0 0 200 200 200\n"
                         "3 1 0.2 0.7 0 0 1 1 0 0 1 1 0.6 0.6 0.6 1 0.5 0.6 220 40 40\n"
                         "-1\n-1\n";

struct AnimWindow : ::testing::Test {
    // The player of the turntable made, which shows want.
    void plays_and_steps(const std::vector<picture> &want);
    temp_dir tmp;
    std::unique_ptr<MainWin> win;
    app_state *a = nullptr;
    std::vector<std::string> said;
    std::string t_rt;
    void SetUp() override
    {
        t_rt = tmp.file("T.RT", BALL);
        win = std::make_unique<MainWin>();
        a = &win->state().app;
        win->state().disp.mode = 1; // 256 colours: the display diffuses
        win->message_hook = [this](const char *text, const char *, int) {
            said.push_back(text);
            return (int)ID_NO;
        };
        win->show();
        win->open_start_file(t_rt); // opened and its picture made
        ASSERT_TRUE(wait_until([this] { return !a->busy; }));
        ASSERT_EQ(a->image_ready, 1);
    }
};

// What the view shows at (x, y).
QRgb dot_at(MainWin &w, int x, int y)
{
    return w.scroller()->viewport()->grab().toImage().pixel(x, y);
}

// Every dot of frame pic as the window's display shows it now, from the
// start-up diffusion, is on screen.
void expect_shows(MainWin &w, const picture &pic)
{
    const display_state &d = w.state().disp;
    auto pl = std::make_unique<planes>();
    auto grid = std::make_unique<dotgrid>();
    auto diff = std::make_unique<diffusion>();
    to_planes(pic, *pl);
    ASSERT_EQ(show_dots(*grid, *diff, *pl, pic.w, pic.h, d.zoom_size, d.mode), 1);
    const QImage shot = w.scroller()->viewport()->grab().toImage();
    for (int y = 0; y < grid->h; y++)
        for (int x = 0; x < grid->w; x++)
            ASSERT_EQ(shot.pixel(x, y), 0xff000000u | dot_rgb(*grid, x, y)) << x << "," << y;
    EXPECT_EQ(shot.pixel(grid->w, 0), qRgb(255, 255, 255));
}

// koru-cli's frames of the turntable fill() asks for.
std::vector<picture> cli_turn(const std::string &scene_file)
{
    keyscene key;
    msglist m;
    EXPECT_EQ(data_load(key.sc, scene_file.c_str(), m, &key.map), 1);
    anim_plan plan;
    plan.keys = {&key};
    plan.frames = 3;
    plan.orbit = true;
    plan.orbit_deg = 360;
    anim_options opt;
    opt.w = 32, opt.h = 24;
    auto job = std::make_unique<anim_job>(plan, opt);
    std::vector<picture> want;
    EXPECT_EQ(job->run([&](int, const render_job &r) { return want.push_back(r.result()), true; }),
              RAY_DONE);
    return want;
}

// The dialog filled without running it: a mistake keeps it open.
TEST_F(AnimWindow, TheDialogStaysOpenOnAMistake)
{
    anim_form form;
    anim_form_open(form, *a);
    AnimDlg dlg(win.get(), win->state(), form);
    EXPECT_EQ(dlg.windowTitle(), "Make Animation");
    auto *keys = dlg.findChild<QListWidget *>("keys");
    EXPECT_TRUE(keys->item(0)->text().startsWith(QString::fromStdString(t_rt)));
    EXPECT_EQ(dlg.findChild<QLineEdit *>("width")->text(), "16");
    fill(&dlg, "turn.webp");
    set_text(&dlg, "frames", "0");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "The number of frames must be a whole number of 1 or more.");
    set_text(&dlg, "frames", "3");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(form.req.out, tmp.path + "/turn.webp");
}

// The command from the menu, the dialog answered: the file holds
// koru-cli's frames, the window's picture stays, and the player plays
// them, paused, stepped with the slider and the keys' step, at the
// window's zoom and mode as they change; Close shows the picture again.
TEST_F(AnimWindow, MakesTheFramesThenPlaysAndStepsThem)
{
    EXPECT_EQ(win->action(IDM_ANIMATE)->text(), "Make Animation(&M)…");
    const std::vector<unsigned char> picture_before(a->gdata->r, a->gdata->r + 16 * 12);
    on_modal(
        [](QWidget *dlg) {
            fill(dlg, "turn.webp");
            QTest::mouseClick(dlg->findChild<QPushButton *>("ok"), Qt::LeftButton);
        },
        "Make Animation");
    win->action(IDM_ANIMATE)->trigger();
    ASSERT_TRUE(wait_until([this] { return !a->busy; }));
    ASSERT_TRUE(said.empty()) << said.back();

    const std::vector<picture> want = cli_turn(t_rt);
    ASSERT_FALSE(want[1].r == want[0].r || want[2].r == want[1].r); // the ball moves
    anim_frames in;
    msglist m;
    ASSERT_EQ(in.open(tmp.path + "/turn.webp", 24, 3, m), 1) << m.first();
    for (int k = 0; k < 3; k++) {
        picture p;
        ASSERT_TRUE(in.get(k, p, m)) << m.first();
        EXPECT_TRUE(p.r == want[k].r && p.g == want[k].g && p.b == want[k].b) << k;
    }
    EXPECT_EQ(a->image_ready, 1);
    EXPECT_EQ(a->model.ixmx, 16);
    EXPECT_TRUE(std::equal(picture_before.begin(), picture_before.end(), a->gdata->r));
    plays_and_steps(want);
}

TEST_F(AnimWindow, CancelLeavesNoFile)
{
    const std::vector<std::string> before = listing(tmp.path);
    win->seams.progress_delay_ms = 0;
    // the run waits at the second frame, or just before the file is
    // written, until Cancel has been pressed
    for (const bool writing : {false, true}) {
        gate clicked;
        win->anim_seam.frame = [&](int k) {
            if (k == 1 && !writing) {
                EXPECT_TRUE(clicked.wait());
            }
        };
        win->anim_seam.writing = [&] {
            if (writing) {
                EXPECT_TRUE(clicked.wait());
            }
        };
        bool seen = false;
        on_modal(
            [&](QWidget *dlg) {
                fill(dlg, writing ? "turn.webp" : "f_%02d.png");
                on_modal(
                    [&](QWidget *w) {
                        EXPECT_EQ(a->busy, 1);
                        EXPECT_FALSE(win->action(IDM_MAKE)->isEnabled());
                        QTest::mouseClick(w->findChild<QPushButton *>("cancel"), Qt::LeftButton);
                        clicked.open();
                        seen = true;
                    },
                    "Making animation");
                QTest::mouseClick(dlg->findChild<QPushButton *>("ok"), Qt::LeftButton);
            },
            "Make Animation");
        win->action(IDM_ANIMATE)->trigger();
        ASSERT_TRUE(wait_until([this] { return !a->busy; }));
        EXPECT_TRUE(seen);
        EXPECT_EQ(listing(tmp.path), before) << writing; // no file, no hidden folder
        EXPECT_TRUE(said.empty());
        EXPECT_EQ(win->anim_player(), nullptr);
        EXPECT_EQ(a->busy, 0);
        EXPECT_TRUE(win->action(IDM_ANIMATE)->isEnabled());
    }
}

} // namespace

void AnimWindow::plays_and_steps(const std::vector<picture> &want)
{
    AnimPlayer *player = win->anim_player();
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->playing());
    QTest::mouseClick(player->bar()->findChild<QToolButton *>("play"), Qt::LeftButton);
    EXPECT_FALSE(player->playing());
    player->bar()->findChild<QSlider *>("frame")->setValue(2);
    EXPECT_EQ(player->frame(), 2);
    QApplication::processEvents();
    expect_shows(*win, want[2]);
    player->step(-1);
    EXPECT_EQ(player->bar()->findChild<QLabel *>("frameno")->text(), "Frame 2 of 3");
    QApplication::processEvents();
    expect_shows(*win, want[1]);
    // a click on the slider goes to the frame under it, not a page on
    QSlider *slider = player->bar()->findChild<QSlider *>("frame");
    slider->setValue(0);
    QTest::mouseClick(slider, Qt::LeftButton, {},
                      QPoint(slider->width() * 2 / 3, slider->height() / 2));
    EXPECT_EQ(player->frame(), 1);

    // at the window's zoom and mode as they change
    zoom_by(win->state(), 1); // 150 %
    set_mode(win->state(), 0);
    QApplication::processEvents();
    EXPECT_EQ(win->view()->size(), QSize(48, 36));
    expect_shows(*win, want[1]);

    // Close: the window's picture again
    QTest::mouseClick(player->bar()->findChild<QToolButton *>("close"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(win->anim_player(), nullptr);
    EXPECT_EQ(win->view()->size(), QSize(24, 18));
    const dotgrid &g = *win->state().disp.grid;
    EXPECT_EQ(dot_at(*win, 5, 5), 0xff000000u | dot_rgb(g, 5, 5));
}
