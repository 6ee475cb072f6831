// Live view without the toolkit: the camera moved by hand (trace/camera_moves.h)
// and the decisions of live_state.
#include "app/live/live.h"
#include "app/tests/script_ui.h"
#include "base/msg.h"
#include "trace/camera_moves.h"
#include "trace/frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

namespace {

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

// An exact frame that ends made after all, the cancel coming too late for
// a camera moved meanwhile, leaves the moved camera's picture due.
TEST(LiveState, AnExactFrameMadeStaleIsMadeAgain)
{
    live_state s;
    s.turn_on();
    EXPECT_EQ(s.next(), LIVE_EXACT);
    EXPECT_TRUE(s.moved());
    s.frame_done(LIVE_EXACT, RAY_DONE);
    EXPECT_EQ(s.next(), LIVE_PREVIEW);
    s.frame_done(LIVE_PREVIEW, RAY_DONE);
    s.rest();
    EXPECT_EQ(s.next(), LIVE_EXACT);
    s.frame_done(LIVE_EXACT, RAY_DONE);
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
