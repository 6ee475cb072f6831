// The live view's toolkit-free parts: the command line, moving the camera
// by hand, the remembered settings, and the decisions of live_state.
#include "app/live/live.h"
#include "app/session/cmdline.h"
#include "app/session/prefs.h"
#include "app/tests/script_ui.h"
#include "base/msg.h"
#include "trace/camera.h"
#include "trace/frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

namespace {

int parse(std::vector<const char *> args, cmdline &c, std::string &err)
{
    args.insert(args.begin(), "koru");
    return parse_cmdline((int)args.size(), const_cast<char **>(args.data()), c, err);
}

scene camera_at(vec look, vec dir, double dl, double w)
{
    scene sc;
    sc.rx = look.x, sc.ry = look.y, sc.rz = look.z;
    sc.vpnax = dir.x, sc.vpnay = dir.y, sc.vpnaz = dir.z;
    sc.dlength = dl, sc.wdu = w, sc.ixmx = 64, sc.iymx = 48;
    return sc;
}

vec eye_of(const scene &sc)
{
    frame f;
    EXPECT_TRUE(make_frame(sc, 0, f));
    return f.eye[0];
}

} // namespace

namespace {

struct cmd_case {
    std::vector<const char *> args;
    int rc;
    bool live;
    int mode, zoom;
    const char *file, *err;
    const char *platform = "";
};

const cmd_case CMD_CASES[] = {
    {{}, CMD_RUN, false, -1, -1, "", ""},
    {{"--live", "--mode", "2", "--zoom", "150", "room.RT"}, CMD_RUN, true, 2, 150, "room.RT", ""},
    {{"pic.BMP", "--zoom", "50"}, CMD_RUN, false, -1, 50, "pic.BMP", ""},
    {{"--", "-odd.RT"}, CMD_RUN, false, -1, -1, "-odd.RT", ""},
    {{"--help"}, CMD_HELP, false, -1, -1, "", ""},
    {{"--mode", "3"}, CMD_BAD, false, -1, -1, "", "--mode takes a whole number from 0 to 2"},
    {{"--zoom", "401"}, CMD_BAD, false, -1, -1, "", "--zoom takes"},
    {{"--zoom", "1e2"}, CMD_BAD, false, -1, -1, "", "not \"1e2\""},
    {{"--zoom"}, CMD_BAD, false, -1, -1, "", "--zoom needs a value"},
    {{"--fast"}, CMD_BAD, false, -1, -1, "", "unknown option \"--fast\""},
    {{"a.RT", "b.RT"}, CMD_BAD, false, -1, -1, "", "one file only"},
    // the toolkit's own options and their values pass by
    {{"-platform", "offscreen", "--live", "-reverse", "-style=fusion", "--style", "x", "a.RT"},
     CMD_RUN,
     true,
     -1,
     -1,
     "a.RT",
     "",
     "offscreen"},
    {{"-display", ":1", "-qwindowgeometry", "9x9", "b.RT"}, CMD_RUN, false, -1, -1, "b.RT", ""},
    {{"a.RT", "-platform"}, CMD_BAD, false, -1, -1, "", "-platform needs a value"},
    {{"-platformx", "y"}, CMD_BAD, false, -1, -1, "", "unknown option \"-platformx\""},
};

} // namespace

TEST(CommandLine, OptionsValuesAndMistakes)
{
    for (auto &c : CMD_CASES) {
        cmdline cl;
        std::string err;
        const int rc = parse(c.args, cl, err);
        EXPECT_EQ(rc, c.rc) << err;
        if (rc == CMD_BAD) {
            EXPECT_NE(err.find(c.err), std::string::npos) << err;
            EXPECT_EQ(err.find('\n'), std::string::npos); // one line
            continue;
        }
        if (rc == CMD_RUN) {
            EXPECT_TRUE(cl.live == c.live && cl.mode == c.mode && cl.zoom == c.zoom &&
                        cl.file == c.file && cl.platform == c.platform);
        }
    }
    cmdline studio;
    std::string err;
    EXPECT_EQ(parse({"--studio", "room.RT"}, studio, err), CMD_RUN);
    EXPECT_TRUE(studio.studio && !studio.live && studio.file == "room.RT");
    EXPECT_TRUE(is_picture_name("a/b.png") && is_picture_name("X.BMP"));
    EXPECT_FALSE(is_picture_name("room.RT") || is_picture_name("bmp"));
}

TEST(CommandLine, DisplayOfThePlatformTheToolkitStarts)
{
    temp_dir run;
    const std::string with_socket = run.mkdir("with"), without = run.mkdir("without");
    run.file("with/wayland-0");
    struct {
        std::vector<const char *> args;
        std::map<std::string, std::string> env;
        bool present;
    } cases[] = {
        {{}, {}, false},
        {{}, {{"DISPLAY", ":0"}}, true},
        {{}, {{"DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}, false}, // set but empty
        {{"-display", ":1"}, {}, true},
        // a Wayland session, by its variables or its default socket
        {{}, {{"WAYLAND_DISPLAY", "wayland-1"}}, true},
        {{}, {{"WAYLAND_SOCKET", "5"}}, true},
        {{}, {{"XDG_RUNTIME_DIR", with_socket}}, true},
        {{}, {{"XDG_RUNTIME_DIR", without}}, false},
        // a platform named, by the environment or (first) the command line
        {{}, {{"QT_QPA_PLATFORM", "offscreen"}}, true},
        {{"-platform", "offscreen"}, {}, true},
        {{"-platform", "xcb"}, {{"QT_QPA_PLATFORM", "offscreen"}}, false},
        {{}, {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}, false},
        {{}, {{"QT_QPA_PLATFORM", "wayland-egl"}, {"DISPLAY", ":0"}}, false},
        {{}, {{"QT_QPA_PLATFORM", "wayland;xcb:nograb"}, {"DISPLAY", ":0"}}, true},
        {{}, {{"QT_QPA_PLATFORM", "eglfs"}}, true},
        {{}, {{"QT_QPA_PLATFORM", ";"}}, false},
    };
    for (auto &c : cases) {
        cmdline cl;
        std::string err;
        ASSERT_EQ(parse(c.args, cl, err), CMD_RUN);
        auto env = [&c](const char *name) -> const char * {
            auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        EXPECT_EQ(display_present(cl, env), c.present)
            << (c.env.empty() ? "" : c.env.begin()->first + "=" + c.env.begin()->second);
    }
}

TEST(Camera, OrbitTurnsTheEyeAboutTheLookPoint)
{
    scene sc = camera_at({1, 2, 3}, {0, -4, 0}, 10, 6);
    // 180 dots to the right: the eye turns 90 degrees the other way about +z
    ASSERT_TRUE(orbit(sc, 180, 0));
    EXPECT_NEAR(sc.vpnax, -1, 1e-12);
    EXPECT_NEAR(sc.vpnay, 0, 1e-12);
    EXPECT_EQ(sc.dlength, 10);
    EXPECT_EQ(sc.rx, 1);
    vec e = eye_of(sc);
    EXPECT_NEAR(std::hypot(e.x - 1, e.y - 2), 10, 1e-9);

    // downward motion raises the eye, never past ELEV_MAX_DEG
    ASSERT_TRUE(orbit(sc, 0, 60));
    EXPECT_NEAR(sc.vpnaz, std::sin(30 * M_PI / 180), 1e-12);
    ASSERT_TRUE(orbit(sc, 0, 10000));
    EXPECT_NEAR(std::asin(sc.vpnaz) * 180 / M_PI, ELEV_MAX_DEG, 1e-9);
    EXPECT_NEAR(sc.vpnax * sc.vpnax + sc.vpnay * sc.vpnay + sc.vpnaz * sc.vpnaz, 1, 1e-15);

    scene flat = camera_at({0, 0, 0}, {0, 0, 0}, 10, 6);
    EXPECT_FALSE(orbit(flat, 5, 5));
    EXPECT_FALSE(pan(flat, 5, 5, 64));
    EXPECT_EQ(flat.vpnax, 0);
}

TEST(Camera, PanFollowsTheMouseAtTheLookPointDollyAndWidth)
{
    // looking along -y from +y: screen right is -x, up is +z
    scene sc = camera_at({0, 0, 0}, {0, 1, 0}, 10, 8);
    const vec eye = eye_of(sc);
    ASSERT_TRUE(pan(sc, 16, 8, 64)); // a dot is wdu / w = 0.125 units
    EXPECT_NEAR(sc.rx, 16 * 0.125, 1e-12);
    EXPECT_NEAR(sc.rz, 8 * 0.125, 1e-12);
    EXPECT_NEAR(sc.ry, 0, 1e-12);
    const vec moved = eye_of(sc);
    EXPECT_NEAR(moved.x - eye.x, sc.rx, 1e-12); // the eye moves with it
    EXPECT_EQ(sc.vpnay, 1);

    dolly(sc, 2);
    EXPECT_NEAR(sc.dlength, 10 * DOLLY_STEP * DOLLY_STEP, 1e-12);
    widen(sc, 1);
    EXPECT_NEAR(sc.wdu, 8 / DOLLY_STEP, 1e-12);
    widen(sc, -1);
    EXPECT_NEAR(sc.wdu, 8, 1e-12);
}

TEST(Prefs, RoundTripDefaultsAndDamage)
{
    prefs p;
    p.zoom = 150, p.mode = 2, p.live = true, p.folder = "/tmp/x/", p.geometry = "AAAA";
    p.studio_geometry = "BBBB";
    p.studio = p.hints = true, p.follow = 1, p.docks = "BBBB", p.lights = false;
    for (const char *f : {"/a/1.RT", "/a/2.BMP", "/a/3.RT", "/a/1.RT", "/a/4.png", "/a/5.RT"})
        add_recent(p.recent, f);
    EXPECT_EQ(p.recent, (std::vector<std::string>{"/a/5.RT", "/a/4.png", "/a/1.RT", "/a/3.RT"}));
    remove_recent(p.recent, "/a/3.RT");
    remove_recent(p.recent, "/a/none.RT");
    EXPECT_EQ(p.recent, (std::vector<std::string>{"/a/5.RT", "/a/4.png", "/a/1.RT"}));
    prefs q = prefs_from(prefs_to(p));
    EXPECT_TRUE(q.zoom == 150 && q.mode == 2 && q.live && q.folder == "/tmp/x/" &&
                q.geometry == "AAAA" && q.studio_geometry == "BBBB" && q.recent == p.recent);
    EXPECT_TRUE(q.studio && q.hints && q.follow == 1 && q.docks == "BBBB" && !q.lights);

    // a first run, or values that cannot be: the start-up values
    prefs d = prefs_from({{"zoom", "9000"},
                          {"mode", "x"},
                          {"live", "2"},
                          {"folder", "rel/"},
                          {"recent1", "not/absolute"},
                          {"studio", "yes"},
                          {"follow", "2"}});
    EXPECT_TRUE(d.zoom == 100 && d.mode == 0 && !d.live && d.folder.empty() && d.recent.empty());
    EXPECT_TRUE(!d.studio && d.follow == 0 && d.lights);

    EXPECT_EQ(zoom_step(100, 1), 150);
    EXPECT_EQ(zoom_step(100, -1), 75);
    EXPECT_EQ(zoom_step(120, 1), 150);
    EXPECT_EQ(zoom_step(120, -1), 100);
    EXPECT_EQ(zoom_step(400, 1), 400);
    EXPECT_EQ(zoom_step(50, -1), 50);
}

// The state machine through the moments the window meets.
TEST(LiveState, ReloadPreviewExactAndCancels)
{
    live_state s;
    EXPECT_EQ(s.next(), LIVE_IDLE); // off: nothing
    s.turn_on();
    EXPECT_EQ(s.next(), LIVE_EXACT); // the current scene's picture
    EXPECT_EQ(s.next(), LIVE_IDLE);  // one frame at a time
    s.frame_done(LIVE_EXACT, RAY_DONE);
    EXPECT_EQ(s.next(), LIVE_IDLE);

    // the file changes: reload, then a preview and the exact picture
    EXPECT_FALSE(s.file_changed());
    EXPECT_EQ(s.next(), LIVE_RELOAD);
    s.reloaded(true);
    EXPECT_EQ(s.next(), LIVE_PREVIEW);
    s.frame_done(LIVE_PREVIEW, RAY_DONE);
    EXPECT_EQ(s.next(), LIVE_EXACT);

    // input during a frame makes it stale; previews go on while the
    // mouse moves, the exact picture waits for the rest
    EXPECT_TRUE(s.moved());
    s.frame_done(LIVE_EXACT, RAY_CANCELLED);
    EXPECT_EQ(s.next(), LIVE_PREVIEW);
    EXPECT_TRUE(s.moved());
    s.frame_done(LIVE_PREVIEW, RAY_CANCELLED);
    EXPECT_EQ(s.next(), LIVE_PREVIEW);
    s.frame_done(LIVE_PREVIEW, RAY_DONE);
    EXPECT_EQ(s.next(), LIVE_IDLE);
    s.rest();
    EXPECT_EQ(s.next(), LIVE_EXACT);
    s.rest(); // a rest does not make the exact frame stale
    s.frame_done(LIVE_EXACT, RAY_DONE);
    EXPECT_EQ(s.next(), LIVE_IDLE);

    // a failed reload keeps the picture: nothing is due
    s.file_changed();
    EXPECT_EQ(s.next(), LIVE_RELOAD);
    s.reloaded(false);
    EXPECT_EQ(s.next(), LIVE_IDLE);
    // nor is a frame that failed tried again until something changes
    s.command_ran(IDM_SETTING);
    EXPECT_EQ(s.next(), LIVE_EXACT);
    s.frame_done(LIVE_EXACT, RAY_NOVIEW);
    EXPECT_EQ(s.next(), LIVE_IDLE);
    EXPECT_FALSE(s.command_ran(IDM_OPENBMP));
    EXPECT_EQ(s.next(), LIVE_IDLE);

    EXPECT_FALSE(s.turn_off());
    EXPECT_FALSE(s.file_changed() || s.moved());
    EXPECT_EQ(s.next(), LIVE_IDLE);
}

// A reload obeys the file's camera only when the file changed it.
TEST(LiveState, ReloadKeepsTheCameraMovedByHand)
{
    temp_dir tmp;
    const std::string path = tmp.file("L.RT", small_scene(8, 6));
    live_state s;
    scene sc;
    msglist msgs;
    ASSERT_EQ(s.reload_scene(sc, path.c_str(), msgs), 1);
    orbit(sc, 30, 20);
    sc.ixmx = 40;
    const scene moved = sc;
    // the colour changes, the camera stays: the moved camera is kept
    tmp.file("L.RT", small_scene(8, 6).replace(small_scene(8, 6).find("200 100 50"), 10, "9 9 9"));
    ASSERT_EQ(s.reload_scene(sc, path.c_str(), msgs), 1);
    EXPECT_EQ(sc.pri[0].col.r, 9);
    EXPECT_TRUE(sc.vpnax == moved.vpnax && sc.vpnaz == moved.vpnaz && sc.ixmx == 40);
    EXPECT_FALSE(s.took_camera);
    // the file's camera changes: it is obeyed
    tmp.file("L.RT", small_scene(10, 6));
    ASSERT_EQ(s.reload_scene(sc, path.c_str(), msgs), 1);
    EXPECT_TRUE(sc.vpnax == 0 && sc.vpnaz == 1 && sc.ixmx == 10);
    EXPECT_TRUE(s.took_camera);
    // a file that cannot be read, or is cut inside its records (being
    // written or typed), changes nothing
    EXPECT_EQ(s.reload_scene(sc, (tmp.path + "/none.RT").c_str(), msgs), RELOAD_NOFILE);
    std::string cut = small_scene(12, 6);
    tmp.file("L.RT", cut.substr(0, cut.find("200 100")) + "2x0 100 50\n-1\n-1\n");
    msgs.clear();
    EXPECT_EQ(s.reload_scene(sc, path.c_str(), msgs), RELOAD_CUT);
    EXPECT_TRUE(sc.ixmx == 10 && sc.primmx == 1);
    ASSERT_FALSE(msgs.empty());
    EXPECT_GT(msgs.lines[0].line, 0); // where the file goes wrong
    // a file whose groups only are unfinished still gives a picture
    tmp.file("L.RT", cut.substr(0, cut.rfind("-1")));
    EXPECT_EQ(s.reload_scene(sc, path.c_str(), msgs), RELOAD_READ);
    EXPECT_EQ(sc.ixmx, 12);
}
