// Stopping a render that would run for ages, and rays that nest deeper
// than a stack holds: the picture is thrown away, the planes and the camera
// stay as they were, and koru-cli writes nothing.
#include "../image/rgb.h"
#include "../scene/rtread.h"
#include "testscene.h"
#include "../trace/render.h"
#include "child.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace {

const std::string SCENES = KORU_SOURCE_DIR "/tests/scenes/";
const std::string DEGENERATE = KORU_SOURCE_DIR "/tests/degenerate/";

struct RenderStop : scene_fixture {
    void fill_planes(unsigned char v)
    {
        std::memset(pl.r, v, PLANE_BYTES);
        std::memset(pl.g, v + 1, PLANE_BYTES);
        std::memset(pl.b, v + 2, PLANE_BYTES);
    }

    bool planes_hold(unsigned char v)
    {
        for (int i = 0; i < PLANE_BYTES; i++)
            if (pl.r[i] != v || pl.g[i] != (unsigned char)(v + 1) ||
                pl.b[i] != (unsigned char)(v + 2))
                return false;
        return true;
    }
};

// Twenty glass slabs at depth 30: a ray into them has a tree of up to 2^31
// nodes. At 1 x 2 dots the top dot passes beside the slabs and the bottom
// one goes in, so a stop given after the first row must reach into the
// shading of the second.
TEST_F(RenderStop, CancelReachesIntoOneDeepDot)
{
    ASSERT_EQ(data_load(sc, (SCENES + "glass-slabs-deep.RT").c_str(), warn), 1);
    sc.ixmx = 1;
    sc.iymx = 2;
    const double vx = sc.vpnax, vy = sc.vpnay, vz = sc.vpnaz;
    fill_planes(7);
    render_job job(sc, threads_options(1));
    std::thread stopper([&] {
        while (job.rows_done() == 0)
            std::this_thread::yield();
        job.cancel();
    });
    EXPECT_EQ(run_and_keep(job), RAY_CANCELLED);
    stopper.join();
    EXPECT_TRUE(planes_hold(7));
    EXPECT_EQ(sc.ixmx, 1);
    EXPECT_EQ(sc.iymx, 2);
    EXPECT_EQ(sc.vpnax, vx);
    EXPECT_EQ(sc.vpnay, vy);
    EXPECT_EQ(sc.vpnaz, vz);
}

// Two mirrors facing each other: a ray bounces for as long as the depth
// allows. 1000 levels is a picture; 2147483647 levels would need a deeper
// stack than any thread has, and is refused instead of crashing.
TEST_F(RenderStop, MirrorsAtAnyDepthNeverOverflowTheStack)
{
    SKIP_DEEP_UNDER_TSAN();
    for (int threads : {1, 2}) {
        ASSERT_EQ(data_load(sc, (DEGENERATE + "mirror-room-deep.RT").c_str(), warn), 1);
        ASSERT_EQ(sc.ilvlmx, 2147483647);
        const int w = sc.ixmx, h = sc.iymx;
        fill_planes(9);
        EXPECT_EQ(make_image(0, threads_options(threads)), RAY_TOODEEP);
        EXPECT_TRUE(planes_hold(9));
        EXPECT_EQ(sc.ixmx, w);
        EXPECT_EQ(sc.iymx, h);

        ASSERT_EQ(data_load(sc, (DEGENERATE + "mirror-room-1000.RT").c_str(), warn), 1);
        EXPECT_EQ(make_image(0, threads_options(threads)), RAY_DONE);
    }
}

// Ctrl-C, SIGTERM or SIGHUP in a long render: status 128 + the signal, and
// the output file is as it was (absent, or the old bytes), with nothing
// else left beside it.
TEST_F(RenderStop, CtrlCInKoruCliWritesNothing)
{
    struct {
        int sig;
        bool old_file;
        const char *name;
    } cases[] = {{SIGINT, false, "slabs.BMP"},
                 {SIGINT, true, "slabs.BMP"},
                 {SIGTERM, false, "slabs.png"},
                 {SIGTERM, true, "slabs.bmp"},
                 {SIGHUP, false, "slabs.BMP"}};
    for (auto &c : cases) {
        const bool old_file = c.old_file;
        temp_dir tmp;
        const std::string out = tmp / c.name;
        if (old_file)
            spit(out, "the old picture");
        // twenty glass slabs at depth 30 under the lower half of the picture
        cli_on_tty cli(
            {"render", SCENES + "glass-slabs-half.RT", out, "--threads", "2", "--aa", "2"});
        ASSERT_TRUE(cli.started());
        // once its bar shows rows traced: the upper rows miss the slabs,
        // the ones below take ages
        ASSERT_TRUE(cli.wait_for([](const std::string &s) { return bar_count(s) > 0; }))
            << "koru-cli ended before it traced: " << tail(cli.said());
        kill(cli.pid(), c.sig);
        child_result r = cli.finish();
        EXPECT_EQ(r.signal, 0);
        EXPECT_EQ(r.status, 128 + c.sig);
        if (old_file) {
            EXPECT_EQ(slurp(out), "the old picture");
            EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{c.name});
        } else {
            EXPECT_FALSE(exists(out));
            EXPECT_TRUE(list_dir(tmp.path).empty());
        }
    }
}

// The same in koru-cli animate: the slabs seen from aside in frame 0 (a
// moment's work), straight on in frame 1 (ages). An animation file is not
// written, nor anything beside it; numbered frames already written stay.
TEST_F(RenderStop, StoppedAnimationWritesNoFile)
{
    temp_dir keys;
    const std::string slabs = slurp(SCENES + "glass-slabs-deep.RT");
    spit(keys / "aside.RT", "1000" + slabs.substr(1));
    spit(keys / "on.RT", slabs);
    struct {
        int sig;
        const char *out;
        std::vector<std::string> left;
    } cases[] = {
        {SIGTERM, "slabs.webp", {}}, {SIGHUP, "slabs.gif", {}}, {SIGINT, "f_%d.png", {"f_0.png"}}};
    for (auto &c : cases) {
        temp_dir tmp;
        cli_on_tty cli({"animate", keys / "aside.RT", keys / "on.RT", tmp / c.out, "--frames", "2",
                        "--size", "64", "48", "--threads", "2"});
        ASSERT_TRUE(cli.started());
        // once its bar is at frame 1 (of 0 and 1): frame 0 is handed over
        // (numbered, it is written) and frame 1 is being traced
        ASSERT_TRUE(cli.wait_for([](const std::string &s) { return bar_count(s) == 2; }))
            << "koru-cli ended before frame 1: " << tail(cli.said());
        kill(cli.pid(), c.sig);
        child_result r = cli.finish();
        EXPECT_EQ(r.signal, 0);
        EXPECT_EQ(r.status, 128 + c.sig) << c.out;
        EXPECT_EQ(list_dir(tmp.path), c.left) << c.out;
    }
}

} // namespace
