// window_fixture.h - a KORU window for a test: its scene T.RT (16 x 12)
// in a folder of its own, full colour, the message boxes answered by the
// test, and what the tests of the window share.
#pragma once

#include "app/qt/window/mainwin.h"
#include "app/tests/qt_wait.h"
#include "app/tests/script_ui.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <gtest/gtest.h>

// A file dialog answered by typing name and pressing OK.
inline void answer_file(const QString &name)
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
        EXPECT_TRUE(modal_wait::waits().empty()) << "a dialog the test waited for never came";
        while (!modal_wait::waits().empty())
            delete modal_wait::waits().back();
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
inline void expect_shows_its_grid(MainWin &w)
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
