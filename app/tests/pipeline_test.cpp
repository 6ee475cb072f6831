// The order around every command, driven whole with live view and the
// studio on: what each part of the window hears, and when.
#include "app/commands/pipeline.h"
#include "app/live/live_view.h"
#include "app/session/command_ids.h"
#include "app/studio/studio.h"
#include "app/tests/script_ui.h"
#include "scene/newscene.h"
#include "scene/templates.h"

#include <gtest/gtest.h>

namespace {

using said = std::vector<std::string>;

// A window whose parts say, in one list, what they were told: the ui's
// renders (held until the test lets them end, when hold is set) and
// refreshes, live view's frames, the studio, the player.
struct logged_ui : script_ui {
    said *log = nullptr;
    bool hold = false;
    std::function<void(int)> held;
    void run_render(render_job &job, std::function<void(int)> done) override
    {
        log->push_back("render");
        if (!hold) {
            script_ui::run_render(job, std::move(done));
            return;
        }
        held = [&job, done](int rc) { done(rc < 0 ? job.run() : rc); };
    }
    void refresh() override
    {
        log->push_back("refresh");
        script_ui::refresh();
    }
};

struct logged_live : live_port {
    said *log = nullptr;
    std::function<void(int)> frame; // the frame that runs, until finished
    render_job *job = nullptr;
    std::string watched;
    void run_frame(render_job &j, std::function<void(int)> done) override
    {
        log->push_back("live.frame");
        job = &j;
        frame = std::move(done);
    }
    void wait_frame() override
    {
        log->push_back("live.wait");
        frame = nullptr;
    }
    row_fn frame_rows(int, int) override { return {}; }
    void clear_rows() override {}
    void watch(const std::string &path) override { watched = path; }
    void shown(bool) override {}
    void moving() override {}
    // The frame that runs ends, as it ends.
    void finish()
    {
        auto f = std::move(frame);
        frame = nullptr;
        f(job->run());
    }
};

struct logged_parts : studio_part, player_part {
    said *log = nullptr;
    session *s = nullptr;
    void set_on(bool on) override
    {
        log->push_back(on ? "studio.on" : "studio.off");
        s->studio.on = on;
    }
    void next_problem() override { log->push_back("studio.next"); }
    void before(int id) override { log->push_back("studio.before " + std::to_string(id)); }
    void after(int id) override { log->push_back("studio.after " + std::to_string(id)); }
    void close_player() override { log->push_back("player.close"); }
};

struct Pipeline : ::testing::Test {
    temp_dir tmp;
    said log;
    logged_ui ui;
    session s{ui};
    logged_live port;
    live_view live{s, port};
    logged_parts parts;
    std::string scene_path;

    void SetUp() override
    {
        ui.app = &s.app;
        ui.log = port.log = parts.log = &log;
        parts.s = &s;
        s.parts = session_parts{&live, &parts, &parts};
        scene_path = tmp.file("S.RT", small_scene(8, 6));
        s.app.szTmpFilePath = s.app.szFilePath = tmp.path + "/";
    }
    // Live view on over a scene that was read, its frames all made.
    void live_on_a_scene()
    {
        open_start(s, scene_path.c_str()); // its picture made at once
        set_live(s, true);
        while (port.frame)
            port.finish();
        log.clear();
    }
};

} // namespace

// Make Image with live view on: the player closes, the studio hears of it
// first, the live frame stops, the render runs, then the studio, the window
// and live view, which makes its picture again.
TEST_F(Pipeline, EachPartHearsInTurn)
{
    live_on_a_scene();
    s.studio.on = true;
    live.command_ran(IDM_SETTING); // a frame is due again: it runs
    ASSERT_TRUE(port.frame);
    log.clear();
    run_command(s, IDM_MAKE);
    EXPECT_EQ(log, (said{"player.close", "studio.before 202", "live.wait", "render",
                         "studio.after 202", "refresh", "live.frame"}));
    EXPECT_EQ(s.app.image_ready, 1);

    // Setting leaves the player, and wants a new picture; Help and the
    // guide leave both, and the frame that runs
    port.finish();
    log.clear();
    run_command(s, IDM_SETTING);
    run_command(s, IDM_HELP);
    run_command(s, IDM_GUIDE);
    EXPECT_EQ(log, (said{"studio.before 204", "studio.after 204", "refresh", "live.frame",
                         "studio.before 301", "studio.after 301", "refresh", "studio.before 303",
                         "studio.after 303", "refresh"}));
    EXPECT_TRUE(port.frame);
    EXPECT_EQ(ui.helps + ui.guides, 2);
}

// A render beside the window: what follows its command waits for it; Help
// meanwhile runs whole, Stop render reaches it, and a render stopped even
// after its last row keeps the picture there was.
TEST_F(Pipeline, WhatFollowsAJobWaitsForIt)
{
    live_on_a_scene();
    set_live(s, false);
    const unsigned shown = s.disp.gen;
    ui.hold = true;
    run_command(s, IDM_MAKE3D);
    EXPECT_EQ(log, (said{"player.close", "studio.before 203", "render"}));
    EXPECT_EQ(s.app.busy, 1);
    log.clear();
    run_command(s, IDM_HELP);
    run_command(s, IDM_OPENRT); // waits
    EXPECT_EQ(log, (said{"studio.before 301", "studio.after 301", "refresh"}));
    EXPECT_EQ(ui.helps, 1);
    log.clear();
    run_command(s, IDM_STOP);
    ui.held(RAY_DONE); // it had traced its last row
    EXPECT_EQ(log, (said{"studio.after 203", "refresh"}));
    EXPECT_EQ(s.app.busy, 0);
    EXPECT_EQ(s.disp.gen, shown);
    EXPECT_EQ(s.after_job, nullptr);
}

// New Scene asks for its template before anything else: Cancel leaves
// everything as it was, the studio off included; each template chosen is
// the new scene's text, unsaved and unmodified, named on the status line;
// the chooser opens on the first every time; typed text is still asked
// about once a template is chosen.
TEST_F(Pipeline, NewSceneAsksForItsTemplateFirst)
{
    live_on_a_scene();
    set_live(s, false);
    s.app.data_change = 1;
    ui.on_new_scene = [](new_scene_form &) { return 0; };
    log.clear();
    run_command(s, IDM_NEWSCENE);
    EXPECT_EQ(log, said{"player.close"});
    EXPECT_TRUE(ui.msgs.empty());
    EXPECT_FALSE(s.studio.on);

    ui.answers = {ID_NO}; // the picture is not saved
    for (int i = scene_template_count() - 1; i >= 0; i--) {
        const scene_template &t = scene_template_at(i);
        ui.on_new_scene = [i](new_scene_form &f) { return f.chosen = i, 1; };
        run_command(s, IDM_NEWSCENE);
        EXPECT_EQ(s.studio.text, t.text) << t.name;
        EXPECT_TRUE(s.studio.on && !s.studio.modified && s.studio.file.empty()) << t.name;
        EXPECT_EQ(ui.title, NEW_SCENE_NAME);
        EXPECT_NE(ui.statuses.back().find(t.title), std::string::npos) << ui.statuses.back();
        EXPECT_EQ(s.app.rt_ready, 1);
    }
    EXPECT_EQ(ui.new_scene_opened, std::vector<int>(scene_template_count() + 1, 0));
    EXPECT_EQ(ui.msgs.size(), 1u); // the picture, once

    s.studio.text += "\n";
    s.studio.modified = true;
    ui.answers = {ID_CANCEL};
    ui.on_new_scene = [](new_scene_form &f) { return f.chosen = 1, 1; };
    run_command(s, IDM_NEWSCENE);
    EXPECT_EQ(ui.msgs.back().caption, "Save the scene?");
    EXPECT_EQ(s.studio.text, std::string(new_scene_text) + "\n");
}

// A scene dropped, with live view off, has its picture made at once; with
// it on, live view reads and shows it. The close box stops the frame,
// and a close refused lets it go on.
TEST_F(Pipeline, DropsAndTheCloseBox)
{
    const std::string u = tmp.file("U.RT", small_scene(4, 3));
    EXPECT_EQ(open_dropped(s, u.c_str()), 1);
    EXPECT_EQ(log, (said{"player.close", "studio.after 0", "refresh", "render"}));
    EXPECT_EQ(s.app.model.ixmx, 4);

    set_live(s, true);
    EXPECT_EQ(port.watched, u);
    ASSERT_TRUE(port.frame); // the picture again, live
    log.clear();
    ui.answers = {ID_NO}; // Make Image's picture is not saved
    EXPECT_EQ(open_dropped(s, scene_path.c_str()), 1);
    EXPECT_EQ(log, (said{"player.close", "live.wait", "studio.after 0", "refresh", "live.frame"}));
    EXPECT_EQ(port.watched, scene_path);

    log.clear();
    ui.answers = {ID_CANCEL};
    s.app.data_change = 1;
    s.app.live_camera = 0; // a picture live view cannot make again
    EXPECT_EQ(close_asked(s), 0);
    EXPECT_EQ(log, (said{"live.wait", "live.frame"}));
    ui.answers = {ID_NO};
    EXPECT_EQ(close_asked(s), 1);
}

// Studio(U) and Next Problem are the studio's; New Scene with the studio
// off asks about the picture, turns it on and goes on; the zoom key keeps
// the player, and the zoom chosen is remembered.
TEST_F(Pipeline, TheStudioAndTheKeys)
{
    run_command(s, IDM_NEXTPROBLEM); // off: nothing
    run_command(s, IDM_STUDIO);
    run_command(s, IDM_NEXTPROBLEM);
    run_command(s, IDM_STUDIO);
    EXPECT_EQ(log, (said{"player.close", "player.close", "studio.on", "player.close", "studio.next",
                         "player.close", "studio.off"}));

    live_on_a_scene();
    set_live(s, false);
    s.app.data_change = 1;
    ui.answers = {ID_NO};
    run_command(s, IDM_NEWSCENE);
    EXPECT_EQ(ui.msgs.back().text, "Image is changed !  Do you save ?");
    EXPECT_EQ(log, (said{"player.close", "studio.on", "studio.before 221", "studio.after 221",
                         "refresh"}));
    EXPECT_EQ(s.studio.text, new_scene_text);

    log.clear();
    s.disp.zoom_size = 75; // the command line's, for this run
    run_command(s, KEY_ZOOM_IN);
    EXPECT_EQ(log, (said{"studio.before 1002", "studio.after 1002", "refresh"}));
    EXPECT_EQ(s.kept.zoom, 100);
}
