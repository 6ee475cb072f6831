// The commands' order of calls and flag changes, with scripted answers.
#include "app/tests/commands_fixture.h"

#include "app/commands/actions.h"
#include "app/commands/commands.h"
#include "app/commands/named_file.h"
#include "app/commands/save_prompt.h"
#include "app/commands/window_cmds.h"
#include "app/session/picture.h"
#include "base/msg.h"
#include "image/picfile.h"
#include "image/rgb.h"
#include "tests/write_limit.h"
#include "scene/rtread.h"
#include "scene/scene.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST_F(Commands, ExtensionSwitchKeepsOnlyTheFirstPart)
{
    std::string name = "A.B.RT";
    set_ext(name, ".BMP");
    EXPECT_EQ(name, "A.BMP");
    set_ext(name, ".RT");
    EXPECT_EQ(name, "A.RT");
    name = "NODOT";
    set_ext(name, ".BMP");
    EXPECT_EQ(name, "NODOT.BMP");
}

TEST_F(Commands, RenderBeforeASceneDoesNothing)
{
    app_command(s, IDM_MAKE);
    app_command(s, IDM_MAKE3D);
    EXPECT_EQ(ui.renders, 0);
    EXPECT_EQ(ui.cursor_peak, 0);
    EXPECT_EQ(ui.invalidates, 0);
    EXPECT_EQ(a.image_ready, 0);
}

TEST_F(Commands, OpenSceneThenRenderFollowsTheFlagTable)
{
    ui.files.push_back(type_ok("ROOM")); // LOAD finds ROOM.RT
    app_command(s, IDM_OPENRT);
    EXPECT_EQ(a.rt_ready, 1);
    EXPECT_EQ(a.image_ready, 0);
    EXPECT_EQ(ui.title, tmp.path + "/ROOM.RT");
    EXPECT_EQ(a.szFName, tmp.path + "/ROOM.RT");
    EXPECT_EQ(a.oldFName, "ROOM.RT");
    EXPECT_EQ(ui.offered[0], "*.RT");

    // the render works on a copy; the picture's frame is written back
    a.model.vpnaz = 5;
    a.model.ixmx = 9;
    app_command(s, IDM_MAKE3D);
    EXPECT_EQ(a.model.vpnaz, 1);
    EXPECT_EQ(a.model.ixmx, 8);
    EXPECT_EQ(a.model.uvec.x, 1);
    EXPECT_EQ(a.model.vvec.y, 1);
    EXPECT_EQ(ui.busy_seen, 1);       // greyed while it ran, and back after
    EXPECT_EQ(ui.command_changes, 3); // with a scene, and twice for the render
    EXPECT_EQ(a.busy, 0);
    EXPECT_EQ(a.image_ready, 1);
    EXPECT_EQ(a.data_change, 1);
    EXPECT_EQ(ui.cursor, 0);
    EXPECT_GT(ui.cursor_peak, 0);
    EXPECT_EQ(d.grid->w, 8);
    EXPECT_EQ(d.grid->h, 6);
    EXPECT_TRUE(ui.msgs.empty());
}

TEST_F(Commands, CancelledRenderLeavesPictureAndFlags)
{
    rendered();
    std::vector<unsigned char> before(a.gdata->r, a.gdata->r + 48);
    unsigned gen = d.gen;
    a.data_change = 0;
    a.model.ixmx = 4;
    a.model.vpnaz = 3;
    ui.cancel_render = true;
    app_command(s, IDM_MAKE);
    EXPECT_EQ(a.image_ready, 1);
    EXPECT_EQ(a.data_change, 0);
    EXPECT_EQ(a.model.ixmx, 4);
    EXPECT_EQ(a.model.vpnaz, 3);
    EXPECT_EQ(d.gen, gen);
    EXPECT_EQ(std::vector<unsigned char>(a.gdata->r, a.gdata->r + 48), before);
    EXPECT_EQ(ui.cursor, 0);
    EXPECT_TRUE(ui.msgs.empty());
}

TEST_F(Commands, NoViewIsReportedAndChangesNothing)
{
    ui.files.push_back(type_ok("ROOM.RT"));
    app_command(s, IDM_OPENRT);
    a.model.vpnax = a.model.vpnay = a.model.vpnaz = 0;
    app_command(s, IDM_MAKE);
    EXPECT_EQ(a.image_ready + a.data_change, 0);
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "Error !");
    EXPECT_EQ(ui.msgs[0].kind, MB_ERROR);
    EXPECT_EQ(ui.cursor, 0);
}

// Rays that nest deeper than a stack holds stop the render as a cancel
// does, and say so.
TEST_F(Commands, TooDeepIsReportedAndLeavesPictureAndFlags)
{
    rendered();
    std::vector<unsigned char> before(a.gdata->r, a.gdata->r + 48);
    unsigned gen = d.gen;
    a.data_change = 0;
    ui.render_rc = RAY_TOODEEP;
    app_command(s, IDM_MAKE);
    EXPECT_EQ(a.image_ready, 1);
    EXPECT_EQ(a.data_change, 0);
    EXPECT_EQ(d.gen, gen);
    EXPECT_EQ(std::vector<unsigned char>(a.gdata->r, a.gdata->r + 48), before);
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "Error !");
    EXPECT_NE(ui.msgs[0].text.find("deeper"), std::string::npos);
    EXPECT_EQ(ui.cursor, 0);
}

// Commands that work on a scene are greyed until one is chosen (and all
// but Help and About while a render runs).
TEST_F(Commands, SceneCommandsWaitForAScene)
{
    const int scene_ids[] = {IDM_MAKE, IDM_MAKE3D, IDM_ANAGLYPH, IDM_SAVERT, IDM_ANIMATE};
    for (int id : scene_ids)
        EXPECT_FALSE(app_enabled(a, id)) << id;
    for (int id : {IDM_OPENRT, IDM_OPENBMP, IDM_SAVEBMP, IDM_SETTING, IDM_CONFIG, IDM_EXIT})
        EXPECT_TRUE(app_enabled(a, id)) << id;
    ui.files.push_back(type_ok("ROOM.RT"));
    app_command(s, IDM_OPENRT);
    EXPECT_EQ(ui.command_changes, 1);
    for (int id : scene_ids)
        EXPECT_TRUE(app_enabled(a, id)) << id;
    a.busy = 1;
    EXPECT_FALSE(app_enabled(a, IDM_MAKE));
    EXPECT_TRUE(app_enabled(a, IDM_HELP));
}

// A size of no dots never reaches a render or a file: Make Image says so
// and keeps the picture (unsaved as it was), a save writes nothing.
TEST_F(Commands, NoDotsAreRefused)
{
    rendered();
    const std::vector<unsigned char> before(a.gdata->r, a.gdata->r + 48);
    const unsigned gen = d.gen;
    a.model.ixmx = 0;
    app_command(s, IDM_MAKE);
    a.model.ixmx = 1; // a pair of one dot: no dots an eye
    app_command(s, IDM_MAKE3D);
    EXPECT_EQ(ui.renders, 1);
    ASSERT_EQ(ui.msgs.size(), 2u);
    EXPECT_EQ(ui.msgs[0].text, "The picture size 0 x 6 has no dots; nothing to render.\n"
                               "Set it with Setting(T).");
    EXPECT_EQ(ui.msgs[1].text.substr(0, 37), "The picture size 0 x 6 has no dots; n");
    EXPECT_TRUE(a.image_ready == 1 && a.data_change == 1 && d.gen == gen);
    EXPECT_EQ(std::vector<unsigned char>(a.gdata->r, a.gdata->r + 48), before);

    a.model.ixmx = 0;
    app_command(s, IDM_SAVEBMP);
    EXPECT_TRUE(ui.offered.size() == 1 && ui.msgs.size() == 3u); // no dialog
    EXPECT_EQ(ui.msgs[2].text, "The picture size 0 x 6 has no dots; nothing to save.");
    EXPECT_EQ(a.data_change, 1);
}

TEST_F(Commands, ExitAsksForAClose)
{
    app_command(s, IDM_EXIT);
    EXPECT_EQ(ui.closes, 1);
    app_command(s, IDM_HELP);
    EXPECT_EQ(ui.helps, 1);
}

TEST_F(Commands, ConfigRedisplaysOnlyWithAnImage)
{
    ui.on_config = [](config_form &f) {
        std::strcpy(f.zoom, "200");
        return 1;
    };
    app_command(s, IDM_CONFIG);
    EXPECT_EQ(d.zoom_size, 200);
    EXPECT_EQ(ui.invalidates, 0);

    rendered();
    int before = ui.invalidates;
    app_command(s, IDM_CONFIG);
    EXPECT_EQ(ui.invalidates, before + 1);
    EXPECT_EQ(d.grid->w, 16);
}

TEST_F(Commands, SettingRepaintsWithoutANewPicture)
{
    rendered();
    unsigned gen = d.gen;
    ui.on_setting = [](setting_form &f) {
        std::strcpy(f.text[0], "4");
        return 1;
    };
    int before = ui.invalidates;
    app_command(s, IDM_SETTING);
    EXPECT_EQ(a.model.ixmx, 4);
    EXPECT_EQ(ui.invalidates, before + 1);
    EXPECT_EQ(d.gen, gen);
}

TEST_F(Commands, PrintNeedsAnImageAndNamesTheDocument)
{
    app_command(s, IDM_PRINT);
    EXPECT_EQ(ui.print_setups, 0);

    rendered();
    app_command(s, IDM_PRINT);
    EXPECT_EQ(ui.docname, "KORU(" + tmp.path + "/ROOM.RT)");
    EXPECT_EQ(ui.printed_scale, 600); // 4800 / 8 and 6600 / 6
    EXPECT_EQ(ui.cursor, 0);

    // too small to have a dot at 50 %: told, no dialog
    a.model.ixmx = 1;
    d.zoom_size = 50;
    app_command(s, IDM_PRINT);
    EXPECT_EQ(ui.print_setups, 1);
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "Error !");

    // a page that cannot be written is reported
    a.model.ixmx = 8;
    ui.page_ok = false;
    app_command(s, IDM_PRINT);
    EXPECT_EQ(ui.msgs.size(), 2u);
}

} // namespace

// Pictures in PNG by the name typed; Make Anaglyph(G) and Anti-aliasing
// make the render job's pictures, and the size stays the scene's.
TEST_F(Commands, PngAnaglyphAndAntiAliasing)
{
    rendered();
    const std::vector<unsigned char> made(a.gdata->r, a.gdata->r + 48);
    ui.files.push_back(type_ok("P.PNG"));
    app_command(s, IDM_SAVEBMP);
    EXPECT_EQ(a.data_change, 0);
    std::ifstream f(tmp.path + "/P.PNG", std::ios::binary);
    char sig[4] = {};
    f.read(sig, 4);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    std::memset(a.gdata->r, 0, 48);
    ui.files.push_back(type_ok("P.PNG"));
    app_command(s, IDM_OPENBMP);
    EXPECT_EQ(std::vector<unsigned char>(a.gdata->r, a.gdata->r + 48), made);

    auto expect_made_by = [&](render_options opt) {
        render_job job(a.model, opt);
        ASSERT_EQ(job.run(), RAY_DONE);
        const size_t n = job.result().r.size();
        EXPECT_EQ(n, (size_t)a.model.ixmx * a.model.iymx);
        EXPECT_TRUE(std::equal(a.gdata->g, a.gdata->g + n, job.result().g.begin()));
    };
    app_command(s, IDM_AA1 + 2); // 3 x 3
    EXPECT_EQ(a.aa_level, 3);
    app_command(s, IDM_MAKE);
    render_options aa3;
    aa3.aa = 3;
    expect_made_by(aa3);
    app_command(s, IDM_AA1);
    app_command(s, IDM_ANAGLYPH);
    EXPECT_EQ(a.model.ixmx, 8);
    render_options ana;
    ana.anaglyph = true;
    expect_made_by(ana);
}

namespace {

// What a session shows: its grid's dots and mode, the zoom, its picture's
// dots and the three flags.
std::vector<unsigned> seen(const scripted &x)
{
    const dotgrid &g = *x.d.grid;
    std::vector<unsigned> v(g.dot, g.dot + g.w * g.h);
    const size_t n = (size_t)x.a.model.ixmx * x.a.model.iymx;
    v.insert(v.end(), x.a.gdata->r, x.a.gdata->r + n);
    v.insert(v.end(), x.a.gdata->b, x.a.gdata->b + n);
    for (int k : {g.w, g.h, g.mode, x.d.zoom_size, x.a.rt_ready, x.a.image_ready, x.a.data_change})
        v.push_back((unsigned)k);
    return v;
}

using step = std::function<void(scripted &)>;

// A session's own run: a scene opened in a reduced mode, rendered, zoomed,
// rendered in 3D, shown in the other reduced mode, zoomed back.
std::vector<step> run_of(const std::string &file, int mode, int dir)
{
    return {[=](scripted &x) {
                x.d.mode = mode;
                ASSERT_EQ(open_scene(x.s, file.c_str()), 1);
            },
            [](scripted &x) { app_command(x.s, IDM_MAKE); },
            [=](scripted &x) { zoom_by(x.s, dir); },
            [](scripted &x) { app_command(x.s, IDM_MAKE3D); },
            [=](scripted &x) { set_mode(x.s, 1 - mode); },
            [](scripted &x) { zoom_by(x.s, 0); }};
}

} // namespace

// Two sessions in one process share nothing: driven in turns through
// different scenes, modes and zooms, each ends showing exactly what it
// shows when driven alone. (The colour reduction carries its state from
// one display to the next, so anything shared would show in the dots.)
TEST(TwoSessions, DrivenInTurnsEachShowsWhatItShowsAlone)
{
    temp_dir tmp;
    const std::vector<step> one = run_of(tmp.file("A.RT", small_scene(8, 6)), 0, 1);
    const std::vector<step> two = run_of(tmp.file("B.RT", small_scene(12, 9, "20 180 90")), 1, -1);
    scripted alone1, alone2, x, y;
    for (const step &f : one)
        f(alone1);
    for (const step &f : two)
        f(alone2);
    for (size_t i = 0; i < one.size(); i++) {
        one[i](x);
        two[i](y);
    }
    EXPECT_NE(seen(alone1), seen(alone2)); // driven apart
    EXPECT_EQ(seen(x), seen(alone1));
    EXPECT_EQ(seen(y), seen(alone2));
    EXPECT_EQ(x.ui.title, tmp.path + "/A.RT");
    EXPECT_EQ(y.ui.title, tmp.path + "/B.RT");
    EXPECT_EQ(x.a.recent_files, std::vector<std::string>{tmp.path + "/A.RT"});
}
