// Renders running at once, on threads of their own: each gives the bytes
// it gives alone, whatever else runs beside it.
#include "testscene.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const std::string SAMPLES = KORU_SOURCE_DIR "/samples/";

scene load_scene(const std::string &name, int w, int h)
{
    scene sc;
    msglist msgs;
    EXPECT_EQ(data_load(sc, (SAMPLES + name).c_str(), msgs), 1) << name;
    sc.ixmx = w, sc.iymx = h;
    return sc;
}

render_options opts(int stereo, int threads)
{
    render_options o;
    o.stereo = stereo;
    o.threads = threads;
    return o;
}

struct picture alone(const scene &sc, const render_options &o)
{
    render_job job(sc, o);
    EXPECT_EQ(job.run(), RAY_DONE);
    return job.result();
}

bool same(const struct picture &a, const struct picture &b)
{
    return a.w == b.w && a.h == b.h && a.r == b.r && a.g == b.g && a.b == b.b;
}

struct side {
    scene sc;
    render_options opt;
};

// Runs both renders at once, each on its own thread, and checks each
// against its picture alone.
void expect_alike_at_once(const side &a, const side &b)
{
    const struct picture pa = alone(a.sc, a.opt), pb = alone(b.sc, b.opt);
    render_job ja(a.sc, a.opt), jb(b.sc, b.opt);
    int ra = -1, rb = -1;
    std::thread ta([&] { ra = ja.run(); }), tb([&] { rb = jb.run(); });
    ta.join();
    tb.join();
    EXPECT_EQ(ra, RAY_DONE);
    EXPECT_EQ(rb, RAY_DONE);
    EXPECT_TRUE(same(ja.result(), pa));
    EXPECT_TRUE(same(jb.result(), pb));
}

} // namespace

TEST(ConcurrentRender, DifferentScenesGiveTheirOwnBytes)
{
    struct {
        const char *a, *b;
        int stereo_a, stereo_b, threads_a, threads_b;
    } cases[] = {
        {"room.RT", "glass.RT", 0, 0, 2, 3},
        {"glass.RT", "stereo.RT", 0, 1, 1, 2},
        {"mirrors.RT", "csg.RT", 1, 0, 3, 1},
        {"quadrics.RT", "glass.RT", 1, 1, 2, 2},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " beside " + c.b);
        expect_alike_at_once(side{load_scene(c.a, 64, 48), opts(c.stereo_a, c.threads_a)},
                             side{load_scene(c.b, 80, 40), opts(c.stereo_b, c.threads_b)});
    }
}

// The live view renders the scene it holds with a moved camera while the
// scene itself stays as it is.
TEST(ConcurrentRender, OneSceneTwoCameras)
{
    const scene sc = load_scene("glass.RT", 72, 54);
    scene moved = sc;
    moved.rx += 0.7;
    moved.vpnax = -moved.vpnax;
    moved.dlength *= 1.3;
    moved.wdu *= 0.8;
    expect_alike_at_once(side{sc, opts(0, 2)}, side{moved, opts(0, 2)});
    expect_alike_at_once(side{sc, opts(1, 1)}, side{moved, opts(1, 3)});
}

// A render that would run for ages is cancelled while another, beside it,
// runs to its end with its own bytes.
TEST(ConcurrentRender, CancellingOneLetsTheOtherFinish)
{
    scene deep;
    msglist msgs;
    ASSERT_EQ(data_load(deep, KORU_SOURCE_DIR "/tests/scenes/glass-slabs-deep.RT", msgs), 1);
    const scene room = load_scene("room.RT", 64, 48);
    const struct picture want = alone(room, opts(0, 2));

    render_job slow(deep, opts(0, 2)), quick(room, opts(0, 2));
    int rs = -1, rq = -1;
    std::thread ts([&] { rs = slow.run(); });
    std::thread tq([&] { rq = quick.run(); });
    tq.join();
    while (slow.rows_done() == 0 && slow.rows() == 0)
        std::this_thread::yield();
    slow.cancel();
    ts.join();
    EXPECT_EQ(rs, RAY_CANCELLED);
    EXPECT_EQ(rq, RAY_DONE);
    EXPECT_TRUE(same(quick.result(), want));
}
