// Animations inside the engine: mixing key scenes number by number, where
// a frame falls between them, the turntable's turn, and the job that
// renders a run of frames; GIF files read back.
#include "image/gif.h"
#include "image/rgb.h"

#include "base/msg.h"
#include "child.h"
#include "keymix.h"
#include "randscene.h"
#include "scene/keys.h"
#include "scene/rtwrite.h"
#include "testscene.h"
#include "trace/anim.h"
#include "trace/camera_moves.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <thread>

namespace {

// A key scene read from text, with its map.
std::unique_ptr<keyscene> key(const std::string &text)
{
    auto k = std::make_unique<keyscene>();
    msglist m;
    data_load_text(k->sc, text.data(), text.size(), m, &k->map);
    EXPECT_TRUE(m.empty()) << m.first();
    return k;
}

// The file text of a model; two models are the same exactly when these are.
std::string text_of(const scene &sc, const vec *axes = nullptr)
{
    std::string t;
    msglist m;
    EXPECT_EQ(rt_text(sc, t, m, axes), 1) << m.first();
    return t;
}

const char *A = "0 0 1.5\n0 -1 0.5\n10 4\n8 6\n1\n1 2 3 0.5\n2\n"
                "3 3 0.1 0.2 0.3 7 5 1.5 0.5 2 0.25 1 2 0 -4 1 2 3 10 20 30\n"
                "2 1 0 0.5 -0 0 10 0 0 1 0.5 -1 0.5 0.5 0.5 0 0 0 1 2 255\n"
                "-1\n1 2 -1 -1\n";
const char *B = "4 0 1.5\n0 -1 0.5\n10 8\n8 6\n1\n1 2 3 1.5\n2\n"
                "3 3 0.1 0.2 0.3 7 8 1.5 0.5 2 0.25 1 4 0 -2 1 2 3 20 -20 31\n"
                "2 1 0 0.5 -0 0 10 0 0 1 0.5 -1 0.5 0.5 0.5 0 0 0 1 2 0\n"
                "-1\n1 2 -1 -1\n";

TEST(Keys, MixEachNumberAsTheFileGivesIt)
{
    auto a = key(A), b = key(B);
    keydiff d;
    ASSERT_FALSE(key_differs(*a, *b, d)) << d.what;
    static scene sc;
    vec axes[PRIM_MAX];
    key_mix(*a, *b, 0.25, sc, axes);
    EXPECT_EQ(sc.rx, 0 + (4 - 0) * 0.25);
    EXPECT_EQ(sc.wdu, 4 + (8 - 4) * 0.25);
    EXPECT_EQ(sc.lig[0].bright, 0.5 + (1.5 - 0.5) * 0.25);
    // whole numbers rounded, halves away from zero
    EXPECT_EQ(sc.pri[0].npow, 6);           // 5.75
    EXPECT_EQ(sc.pri[0].col.r, 13);         // 10 + 2.5
    EXPECT_EQ(sc.pri[0].col.g, 10);         // 20 - 10
    EXPECT_EQ(sc.pri[0].col.b, 30);         // 30.25
    EXPECT_EQ(sc.pri[1].col.b, 191);        // 255 - 63.75 = 191.25
    EXPECT_EQ(key_whole(0, 1, 0.5), 1);     // a half up
    EXPECT_EQ(key_whole(0, -1, 0.5), -1);   // and down
    EXPECT_EQ(key_whole(255, 0, 0.5), 128); // 127.5
    EXPECT_EQ(key_whole(7, 7, 0.3), 7);
    // the quadric's semi-axes move from (2, 0, -4) to (4, 0, -2)
    EXPECT_EQ(axes[0].x, 2.5);
    EXPECT_EQ(axes[0].y, 0);
    EXPECT_EQ(axes[0].z, -3.5);
    EXPECT_EQ(sc.pri[0].geom.x, axis_coef(2.5));
    EXPECT_EQ(sc.pri[0].geom.z, axis_coef(-3.5));
    // what is the same in both keys stays as it is: -0, and infinities
    EXPECT_TRUE(std::signbit(sc.pri[1].ks));
    EXPECT_EQ(key_real(HUGE_VAL, HUGE_VAL, 0.5), HUGE_VAL);
    EXPECT_EQ(sc.pri[0].nmem, 1);
    EXPECT_EQ(sc.pri[0].mem[0], 1);

    // the file of the mix says exactly these numbers and reads back as sc
    const std::string text = text_of(sc, axes);
    EXPECT_NE(text.find(" 2.5 0 -3.5 "), std::string::npos) << text;
    expect_mixed_file(text_of(a->sc, a->map.axes), text_of(b->sc, b->map.axes), 0.25, text, sc);
    auto back = key(text);
    EXPECT_EQ(text_of(back->sc), text_of(sc));

    // the ends are the keys, a key mixed with itself is itself
    key_mix(*a, *b, 0, sc, axes);
    EXPECT_EQ(text_of(sc), text_of(a->sc));
    key_mix(*b, *b, 0.7, sc, axes);
    EXPECT_EQ(text_of(sc), text_of(b->sc));
}

// t = k(K-1)/(N-1); the segment floor(t), the last one at t = K-1.
TEST(Keys, WhereEachFrameFalls)
{
    struct {
        int k, n, nkeys, seg;
        double u;
    } cases[] = {
        {0, 5, 3, 0, 0},     {1, 5, 3, 0, 0.5}, {2, 5, 3, 1, 0}, {4, 5, 3, 1, 1},
        {0, 1, 3, 0, 0},     {0, 1, 1, 0, 0},   {6, 7, 1, 0, 0}, {3, 7, 2, 0, 0.5},
        {239, 240, 2, 0, 1}, {1, 3, 4, 1, 0.5}, {2, 3, 4, 2, 1},
    };
    for (auto &c : cases) {
        int seg = -1;
        double u = -1;
        key_place(c.k, c.n, c.nkeys, seg, u);
        EXPECT_EQ(seg, c.seg) << c.k << " of " << c.n << " over " << c.nkeys;
        EXPECT_EQ(u, c.u) << c.k << " of " << c.n << " over " << c.nkeys;
    }
    int seg;
    double u;
    key_place(1, 3, 2, seg, u); // 1/2 exactly; 1 of 10 over 2 is 1/9 in double
    EXPECT_EQ(u, 0.5);
    key_place(1, 10, 2, seg, u);
    EXPECT_EQ(u, 1.0 / 9);
}

// The first difference in file order, with its place in both files.
TEST(Keys, StructureDifferencesNamedWithBothPlaces)
{
    struct {
        const char *from, *to, *what;
        int line_a, col_a, line_b, col_b;
    } cases[] = {
        {"8 6\n1\n", "8 7\n1\n", "iymx", 4, 3, 4, 3},
        {"8 6\n1\n1 2 3 0.5\n2\n", "8 6\n0\n2\n", "the number of lights", 5, 1, 5, 1},
        {"0.5\n2\n3 3 ", "0.5\n3\n3 3 ", "ilvlmx", 7, 1, 7, 1},
        {"3 3 0.1", "4 3 0.1", "primitive 1: type", 8, 1, 8, 1},
        {"2 1 0 0.5 -0", "2 3 0 0.5 -0", "primitive 2: surf", 9, 3, 9, 3},
        {"0.25 1 2 0 -4", "0.25 -1 2 0 -4", "primitive 1: sense", 8, 36, 8, 36},
        {"1 2 255\n-1\n", "1 2 255\n1 1 0 0 0 0 0 0 0 0 1 1 1 1 1 0 0 0 0 0 0\n-1\n",
         "the number of primitives", 10, 1, 10, 1},
        {"-1\n1 2 -1 -1\n", "-1\n-1\n", "primitive 1: partners", 11, 1, 8, 1},
    };
    auto a = key(A);
    for (auto &c : cases) {
        std::string t = A;
        const size_t at = t.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        t.replace(at, std::strlen(c.from), c.to);
        auto b = key(t);
        keydiff d;
        ASSERT_TRUE(key_differs(*a, *b, d)) << c.what;
        EXPECT_EQ(d.what, c.what);
        EXPECT_EQ(d.at_a.line, c.line_a) << c.what;
        EXPECT_EQ(d.at_a.col, c.col_a) << c.what;
        EXPECT_EQ(d.at_b.line, c.line_b) << c.what;
        EXPECT_EQ(d.at_b.col, c.col_b) << c.what;
        EXPECT_TRUE(key_differs(*b, *a, d)); // either way round
    }
}

// Random key scenes of one structure, mixed anywhere between: the file
// says the mix of the keys' files, and reads back as the mix.
TEST(Keys, RandomKeysMixToTheSceneTheirFileReadsBackAs)
{
    rng_t r(2311);
    scene sc;
    for (int round = 0; round < 40; round++) {
        random_scene(sc, r, 1 + r.u(0, 2), 1 + r.pick(12), r.pick(4));
        look(sc, r.v(2), r.v(1), r.u(5, 20), r.u(2, 8), 64, 48, r.pick(4));
        filed_axes(sc);
        const std::string ta = text_of(sc);
        // the same structure, every other number moved
        sc.rx += r.u(-1, 1), sc.vpnaz += r.u(-1, 1), sc.dlength *= r.u(0.5, 2);
        for (int i = 0; i < sc.nlg; i++)
            sc.lig[i].pos.z += r.u(-3, 3), sc.lig[i].bright = r.u(0, 1);
        for (int i = 0; i < sc.primmx; i++) {
            primrec &p = sc.pri[i];
            p.ka = r.u(0, 1), p.npow = r.pick(60);
            p.col = colr{r.pick(256), r.pick(256), r.pick(256)};
            p.pos.x += r.u(-1, 1);
            if (p.type == PRIM_QUADRIC || p.type == PRIM_CONE)
                p.geom.x = axis_coef(r.u(0.3, 2));
        }
        const std::string tb = text_of(sc);
        auto a = key(ta), b = key(tb);
        keydiff d;
        ASSERT_FALSE(key_differs(*a, *b, d)) << d.what;
        const double u = r.pick(4) ? r.u(0, 1) : r.pick(2);
        scene mixed;
        vec axes[PRIM_MAX];
        key_mix(*a, *b, u, mixed, axes);
        const std::string text = text_of(mixed, axes);
        expect_mixed_file(ta, tb, u, text, mixed);
        auto back = key(text);
        ASSERT_EQ(text_of(back->sc), text_of(mixed)) << text;
        if (HasFailure())
            return;
    }
}

// A turntable turns the eye as live view's orbit does, each frame in one
// turn of its own angle.
TEST(Anim, OrbitTurnsEachFrameAsLiveViewDoes)
{
    auto k = key(A);
    for (double deg : {0.0, 37.5, -90.0, 360.0}) {
        scene a = k->sc, b = k->sc;
        ASSERT_TRUE(turn(a, deg));
        ASSERT_TRUE(orbit(b, -deg / ORBIT_DEG_PER_DOT, 0));
        EXPECT_EQ(text_of(a), text_of(b)) << deg;
    }
    anim_plan plan;
    plan.keys = {k.get()};
    plan.frames = 8;
    plan.orbit = true;
    plan.orbit_deg = 360;
    static scene sc, want;
    vec axes[PRIM_MAX];
    for (int f : {0, 1, 4, 7}) {
        anim_scene(plan, f, sc, axes);
        want = k->sc;
        turn(want, 360.0 * f / 8);
        EXPECT_EQ(text_of(sc, axes), text_of(want)) << f;
    }
    // the eye starts at (0, -1, 0.5) from the look point: half a turn on,
    // it is at (0, 1, ...), anticlockwise seen from above
    anim_scene(plan, 4, sc, axes);
    EXPECT_NEAR(sc.vpnay, 1 / std::sqrt(1.25), 1e-12);
    EXPECT_NEAR(sc.vpnax, 0, 1e-12);
    anim_scene(plan, 2, sc, axes);
    EXPECT_NEAR(sc.vpnax, 1 / std::sqrt(1.25), 1e-12);
}

// Each frame is render_job's picture of its scene, whichever frames run.
TEST(Anim, JobRendersEachFrameAsItsSceneRenders)
{
    auto a = key(A), b = key(B);
    anim_plan plan;
    plan.keys = {a.get(), b.get()};
    plan.frames = 6;
    anim_options opt;
    opt.w = 20, opt.h = 14;
    opt.first = 2, opt.last = 4;
    opt.render.threads = 2;
    anim_job job(plan, opt);
    std::vector<int> seen;
    const auto caller = std::this_thread::get_id();
    EXPECT_EQ(job.run([&](int k, const render_job &r) {
        // handed over on the caller's thread, the tracing a few frames ahead at most
        EXPECT_EQ(std::this_thread::get_id(), caller);
        EXPECT_LE(job.frame(), k + ANIM_AHEAD);
        static scene sc;
        vec axes[PRIM_MAX];
        anim_scene(plan, k, sc, axes);
        sc.ixmx = 20, sc.iymx = 14;
        render_job alone(sc, threads_options(1));
        EXPECT_EQ(alone.run(), RAY_DONE);
        EXPECT_EQ(r.result().r, alone.result().r) << k;
        EXPECT_EQ(r.result().b, alone.result().b) << k;
        EXPECT_EQ(r.result().w, 20);
        seen.push_back(k);
        return true;
    }),
              RAY_DONE);
    EXPECT_EQ(seen, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(job.frames_done(), 3);
    EXPECT_EQ(job.progress(), 1);

    // a frame refused stops the run there; a cancelled job renders nothing
    anim_job refusing(plan, opt);
    EXPECT_EQ(refusing.run([](int k, const render_job &) { return k < 3; }), ANIM_REFUSED);
    EXPECT_EQ(refusing.frame(), 3);
    anim_job cancelled(plan, opt);
    cancelled.cancel();
    EXPECT_EQ(cancelled.run([](int, const render_job &) { return true; }), RAY_CANCELLED);
    EXPECT_EQ(cancelled.frames_done(), 0);

    // a stop while a frame is written wins over the frames traced ahead:
    // none of them is handed over, by cancel() or by the caller's flag
    opt.first = 0, opt.last = 5;
    for (bool by_flag : {false, true}) {
        std::atomic<bool> flag{false};
        opt.render.cancel = &flag;
        anim_job stopped(plan, opt);
        seen.clear();
        EXPECT_EQ(stopped.run([&](int k, const render_job &) {
            seen.push_back(k);
            if (k == 1 && by_flag)
                flag = true;
            else if (k == 1)
                stopped.cancel();
            return true;
        }),
                  RAY_CANCELLED);
        EXPECT_EQ(seen, (std::vector<int>{0, 1})) << by_flag;
        EXPECT_EQ(stopped.frames_done(), 2);
    }
}

// A frame without a picture ends the run there, the frames before it all
// handed over, and names that frame and its scene.
TEST(Anim, FrameWithoutAPictureEndsTheRunAfterTheFramesBeforeIt)
{
    // the eye passes through the look point half-way: (0, -1, 0.5) to (0, 1, -0.5)
    std::string b = A;
    b.replace(b.find("0 -1 0.5\n"), 9, "0 1 -0.5\n");
    auto ka = key(A), kb = key(b);
    anim_plan plan;
    plan.keys = {ka.get(), kb.get()};
    plan.frames = 5;
    anim_options opt;
    opt.w = 12, opt.h = 8;
    anim_job job(plan, opt);
    std::vector<int> seen;
    EXPECT_EQ(job.run([&](int k, const render_job &) {
        seen.push_back(k);
        return true;
    }),
              RAY_NOVIEW);
    EXPECT_EQ(seen, (std::vector<int>{0, 1}));
    EXPECT_EQ(job.frame(), 2);
    EXPECT_EQ(job.frame_scene().vpnay, 0);
    EXPECT_EQ(job.frame_scene().vpnaz, 0);
}

} // namespace

// GIF files written byte by byte (two colours, red and green, green the
// background): a frame disposed of to the background leaves its dots in
// the background colour, and a file that ends inside an extension says so.
TEST(GifRead, DisposalAndDamage)
{
    const std::string head = std::string("GIF89a\x02\x00\x01\x00\x80\x01\x00", 13) +
                             std::string("\xff\x00\x00\x00\xff\x00", 6);
    // a control block (disposal to the background, or none), an image of
    // w x 1 dots of colour 0 at the left
    auto frame = [](int dispose, int w) {
        const std::string gce = std::string("\x21\xf9\x04", 3) + char(dispose << 2) +
                                std::string("\x0a\x00\xff\x00", 4);
        const std::string desc = std::string("\x2c\x00\x00\x00\x00", 5) + char(w) +
                                 std::string("\x00\x01\x00\x00\x02", 5);
        // LZW: clear, 0 (and 0), end
        const std::string data =
            w == 2 ? std::string("\x02\x04\x0a\x00", 4) : std::string("\x02\x44\x01\x00", 4);
        return gce + desc + data;
    };
    temp_dir tmp;
    auto write = [&](const std::string &name, const std::string &bytes) {
        spit(tmp / name, bytes);
        return tmp / name;
    };

    gif_frames in;
    msglist m;
    ASSERT_EQ(in.open(write("dispose.gif", head + frame(2, 2) + frame(0, 1) + "\x3b").c_str(), m),
              1)
        << m.first();
    struct picture pic;
    int end = 0;
    ASSERT_TRUE(in.next(pic, end, m)) << m.first();
    EXPECT_EQ(pic.r, (std::vector<unsigned char>{255, 255}));
    ASSERT_TRUE(in.next(pic, end, m)) << m.first();
    EXPECT_EQ(pic.r, (std::vector<unsigned char>{255, 0}));
    EXPECT_EQ(pic.g, (std::vector<unsigned char>{0, 255})); // the background, not black
    EXPECT_FALSE(in.next(pic, end, m));
    EXPECT_TRUE(m.empty()) << m.first();

    const std::string cut = head + std::string("\x21\xff\x0bNETSCAPE2.0\x03\x01", 17);
    ASSERT_EQ(in.open(write("cut.gif", cut).c_str(), m), 1) << m.first();
    EXPECT_FALSE(in.next(pic, end, m));
    EXPECT_NE(std::string(m.first()).find("is damaged"), std::string::npos) << m.first();
}
