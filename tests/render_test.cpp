// The render driver: camera frame, primary rays, stereo pairs, the planes.
#include "image/rgb.h"
#include "testscene.h"
#include "trace/render.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

using RayMain = scene_fixture;

void fill_planes(planes &pl, unsigned char v)
{
    std::memset(pl.r, v, PLANE_BYTES);
    std::memset(pl.g, v, PLANE_BYTES);
    std::memset(pl.b, v, PLANE_BYTES);
}

// The three planes of the current picture, one after the other.

bool planes_all(const planes &pl, unsigned char v, size_t n = PLANE_BYTES)
{
    for (size_t i = 0; i < n; i++)
        if (pl.r[i] != v || pl.g[i] != v || pl.b[i] != v)
            return false;
    return true;
}

// Something for every term to do: a checkered floor, a mirror ball, a
// glass box, a cone cut by a plane, two lights.
void busy_scene(scene &sc, int w, int h, int depth)
{
    sc = scene{};
    look(sc, {0, 0, 0.5}, {0.3, -1, 0.6}, 12, 6, w, h, depth);
    primrec fl = prim(1, {0, 0, 1});
    fl.ka = 0.2, fl.kd = 0.7, fl.pat = 1, fl.patw = 0.75;
    fl.col = colr{180, 160, 90};
    add(sc, fl);
    primrec ball = sphere(0.8, {-1, 0.5, 0.8});
    ball.surf = 2, ball.ka = 0.1, ball.kd = 0.3, ball.ks = 0.6, ball.npow = 20;
    add(sc, ball);
    primrec gl = prim(2, {0.6, 0.6, 0.6}, {1.2, -0.4, 0.6});
    gl.surf = 3, gl.refr = 1.5, gl.trans = 0.6, gl.ks = 0.2, gl.npow = 30, gl.kd = 0.1;
    add(sc, gl);
    primrec cone = prim(4, {1, 1, -0.25}, {0, 2, 2});
    cone.ka = 0.3, cone.kd = 0.6, cone.col = colr{40, 90, 200}, cone.pat = 3, cone.patw = 0.3;
    int c = add(sc, cone);
    int cut = add(sc, prim(1, {0, 0, 1}, {0, 0, 1.5}, -1));
    group(sc, {c, cut});
    light(sc, {5, -5, 8});
    light(sc, {-4, -2, 6}, 0.6);
}

} // namespace

TEST_F(RayMain, CameraFrame)
{
    struct {
        vec dir, unit, u, v;
    } cases[] = {
        {{0, 0, 5}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {{0, 0, -2}, {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
        {{1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {{0, -3, 0}, {0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    };
    for (auto &c : cases) {
        sc = scene{};
        look(sc, {1, 2, 3}, c.dir, 10, 4, 2, 2);
        ASSERT_EQ(make_image(), RAY_DONE);
        EXPECT_EQ(sc.vpnax, c.unit.x);
        EXPECT_EQ(sc.vpnay, c.unit.y);
        EXPECT_EQ(sc.vpnaz, c.unit.z);
        EXPECT_EQ(sc.uvec.x, c.u.x);
        EXPECT_EQ(sc.uvec.y, c.u.y);
        EXPECT_EQ(sc.uvec.z, c.u.z);
        EXPECT_EQ(sc.vvec.x, c.v.x);
        EXPECT_EQ(sc.vvec.y, c.v.y);
        EXPECT_EQ(sc.vvec.z, c.v.z);
    }

    // any direction: a right-handed orthonormal frame with z up
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-2, 2);
    for (int n = 0; n < 200; n++) {
        sc = scene{};
        look(sc, {0, 0, 0}, {u(rng), u(rng), u(rng)}, 10, 4, 1, 1);
        ASSERT_EQ(make_image(), RAY_DONE);
        const vec w{sc.vpnax, sc.vpnay, sc.vpnaz};
        EXPECT_NEAR(vlength(w), 1, 1e-15);
        EXPECT_NEAR(vlength(sc.uvec), 1, 1e-15);
        EXPECT_NEAR(vlength(sc.vvec), 1, 1e-15);
        EXPECT_EQ(sc.uvec.z, 0);
        EXPECT_GE(sc.vvec.z, 0);
        EXPECT_NEAR(vspro(sc.uvec, sc.vvec), 0, 1e-15);
        // vvec = w x uvec
        const vec x{w.y * sc.uvec.z - w.z * sc.uvec.y, w.z * sc.uvec.x - w.x * sc.uvec.z,
                    w.x * sc.uvec.y - w.y * sc.uvec.x};
        EXPECT_NEAR(x.x, sc.vvec.x, 1e-15);
        EXPECT_NEAR(x.y, sc.vvec.y, 1e-15);
        EXPECT_NEAR(x.z, sc.vvec.z, 1e-15);
    }
}

TEST_F(RayMain, PrimaryRaysThroughDotCorners)
{
    look(sc, {0, 0, 0}, {0, 0, 1}, 10, 4, 4, 2);
    ASSERT_EQ(make_image(), RAY_DONE);
    vec d, eye{0, 0, 10};
    make_eye(d, eye, 0, 0, view);
    EXPECT_EQ(d.x, -2);
    EXPECT_EQ(d.y, 1);
    EXPECT_EQ(d.z, -10);
    make_eye(d, eye, 3, 1, view);
    EXPECT_EQ(d.x, 1);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.z, -10);

    // the eye is dlength along the unit look direction: every ray starts
    // inside a small ball there
    sc = scene{};
    look(sc, {0, 0, 0}, {0, 0, 2}, 10, 4, 4, 2);
    primrec wall = sphere(0.01, {0, 0, 10});
    wall.ka = 1;
    add(sc, wall);
    fill_planes(pl, 7);
    ASSERT_EQ(make_image(), RAY_DONE);
    EXPECT_TRUE(planes_all(pl, 255, 8));
}

TEST_F(RayMain, SizeIsClampedAndEveryDotWritten)
{
    look(sc, {0, 0, 0}, {0, 0, 1}, 10, 4, 1500, 1000);
    fill_planes(pl, 0xAB);
    ASSERT_EQ(make_image(), RAY_DONE);
    EXPECT_EQ(sc.ixmx, 1024);
    EXPECT_EQ(sc.iymx, 768);
    EXPECT_TRUE(planes_all(pl, 0));

    // no dots: nothing traced or written, but the frame is still set
    for (int w : {0, -3, 5})
        for (int h : {0, -1}) {
            sc = scene{};
            look(sc, {0, 0, 0}, {0, 0, 4}, 10, 4, w, h);
            fill_planes(pl, 0xAB);
            ASSERT_EQ(make_image(), RAY_DONE);
            EXPECT_TRUE(planes_all(pl, 0xAB));
            EXPECT_EQ(sc.vpnaz, 1);
            EXPECT_EQ(sc.ixmx, w);
        }
}

TEST_F(RayMain, ChannelsAreCappedAt255AndStoredAsLowBits)
{
    look(sc, {0, 0, 0}, {0, 0, 1}, 10, 4, 3, 2);
    primrec fl = prim(1, {0, 0, 1}, {0, 0, -1});
    fl.ka = 1;
    fl.col = colr{300, 255, 254};
    add(sc, fl);
    ASSERT_EQ(make_image(), RAY_DONE);
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(pl.r[i], 255);
        EXPECT_EQ(pl.g[i], 255);
        EXPECT_EQ(pl.b[i], 254);
    }
    sc.pri[0].col = colr{-5, 256, 0};
    ASSERT_EQ(make_image(), RAY_DONE);
    EXPECT_EQ(pl.r[0], 251); // no lower bound: the low eight bits of -5
    EXPECT_EQ(pl.g[0], 255);
}

TEST_F(RayMain, StereoHalvesAndWidths)
{
    // length3d 0: both halves are the single view at half the width
    busy_scene(sc, 20, 9, 2);
    ASSERT_EQ(make_image(), RAY_DONE);
    std::vector<unsigned char> single = picture();

    busy_scene(sc, 41, 9, 2);
    sc.length3d = 0;
    fill_planes(pl, 0);
    ASSERT_EQ(make_image(1), RAY_DONE);
    EXPECT_EQ(sc.ixmx, 40);
    EXPECT_EQ(sc.iymx, 9);
    int differ = 0;
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 20; x++) {
            const int i = y * 40 + x, s = y * 20 + x;
            differ += pl.r[i] != single[s] || pl.r[i + 20] != single[s];
            differ += pl.g[i] != single[180 + s] || pl.g[i + 20] != single[180 + s];
            differ += pl.b[i] != single[360 + s] || pl.b[i + 20] != single[360 + s];
        }
    EXPECT_EQ(differ, 0);

    busy_scene(sc, 641, 2, 0);
    ASSERT_EQ(make_image(1), RAY_DONE);
    EXPECT_EQ(sc.ixmx, 640);

    busy_scene(sc, 1, 5, 0);
    fill_planes(pl, 0xCD);
    ASSERT_EQ(make_image(1), RAY_DONE);
    EXPECT_EQ(sc.ixmx, 0);
    EXPECT_TRUE(planes_all(pl, 0xCD));

    busy_scene(sc, 3000, 2, 0);
    ASSERT_EQ(make_image(1), RAY_DONE);
    EXPECT_EQ(sc.ixmx, 1024);
}

// A ball halfway between the eye and the look point: seen from the eye
// moved to the right (left half) it lies left of centre, and from the eye
// moved to the left (right half) right of centre.
TEST_F(RayMain, StereoPairIsCrossed)
{
    look(sc, {0, 0, 0}, {0, 0, 1}, 10, 4, 80, 40);
    sc.length3d = 0.1; // eyes at x = +1 and -1
    primrec ball = sphere(0.25, {0, 0, 5});
    ball.ka = 1;
    add(sc, ball);
    ASSERT_EQ(make_image(1), RAY_DONE);
    double sum[2] = {0, 0};
    int count[2] = {0, 0};
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 80; x++)
            if (pl.r[y * 80 + x]) {
                sum[x / 40] += x % 40;
                count[x / 40]++;
            }
    // the ball shows at window x = -1 (dot 10) and +1 (dot 30) of each half
    ASSERT_GT(count[0], 20);
    ASSERT_GT(count[1], 20);
    EXPECT_NEAR(sum[0] / count[0], 10, 2);
    EXPECT_NEAR(sum[1] / count[1], 30, 2);
}

TEST_F(RayMain, SameAnswerTwiceAndOnAnyNumberOfThreads)
{
    busy_scene(sc, 48, 30, 3);
    ASSERT_EQ(make_image(), RAY_DONE);
    std::vector<unsigned char> first = picture();
    size_t lit = 0;
    for (unsigned char b : first)
        lit += b != 0;
    EXPECT_GT(lit, first.size() / 2);

    for (int threads : {1, 2, 3, 7}) {
        busy_scene(sc, 48, 30, 3);
        render_job job(sc, threads_options(threads));
        fill_planes(pl, 0);
        ASSERT_EQ(run_and_keep(job), RAY_DONE);
        EXPECT_EQ(job.rows_done(), 30);
        EXPECT_TRUE(picture() == first) << threads << " threads";
    }
    busy_scene(sc, 48, 30, 3);
    ASSERT_EQ(make_image(0, plain_options()), RAY_DONE);
    EXPECT_TRUE(picture() == first);

    busy_scene(sc, 48, 30, 3);
    ASSERT_EQ(make_image(1), RAY_DONE);
    std::vector<unsigned char> pair = picture();
    busy_scene(sc, 48, 30, 3);
    ASSERT_EQ(make_image(1), RAY_DONE);
    EXPECT_TRUE(picture() == pair);
}

// Random scenes of every kind, ties and groups included: the accelerated
// tracer gives the plain search's bytes.
TEST_F(RayMain, AcceleratedTracerMatchesThePlainSearch)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1, 1);
    auto pick = [&](int n) { return (int)(rng() % (unsigned)n); };
    for (int k = 0; k < 80; k++) {
        sc = scene{};
        const int n = 1 + pick(k % 8 == 0 ? 60 : 10);
        for (int i = 0; i < n; i++) {
            primrec p = prim(1 + pick(4), {0, 0, 1}, {u(rng) * 3, u(rng) * 3, u(rng) * 3});
            if (p.type == 2)
                p.geom = vec{0.3 + std::fabs(u(rng)), 0.3 + std::fabs(u(rng)), 0.5};
            else if (p.type != 1)
                p.geom = vec{0.5 + u(rng) * 0.4, pick(4) ? 1.0 : 0.0, pick(3) ? 0.8 : -0.8};
            else if (pick(2))
                p.geom = vec{u(rng), u(rng), u(rng)};
            if (i && !pick(6)) // a twin of the one before: every hit a tie
                p.geom = sc.pri[i - 1].geom, p.pos = sc.pri[i - 1].pos, p.type = sc.pri[i - 1].type;
            p.surf = 1 + pick(3);
            p.sense = pick(2) ? 1 : -1;
            p.ka = 0.2, p.kd = 0.6, p.ks = 0.4, p.npow = pick(30);
            p.refr = 1.3 + 0.4 * std::fabs(u(rng)), p.trans = 0.6;
            p.pat = pick(4), p.patw = 0.4;
            p.col = colr{pick(256), pick(256), pick(256)};
            add(sc, p);
        }
        if (n > 2)
            group(sc, {0, 1 + pick(n - 1)});
        for (int j = pick(4); j > 0; j--)
            light(sc, {u(rng) * 10, u(rng) * 10, 5 + u(rng) * 5}, 0.8);
        const int stereo = pick(3) == 0, w = 16 + pick(9), h = 8 + pick(5);
        look(sc, {u(rng), u(rng), u(rng)}, {u(rng), u(rng), 0.2 + std::fabs(u(rng))}, 9, 6, w, h,
             pick(4));
        const double vx = sc.vpnax, vy = sc.vpnay, vz = sc.vpnaz;

        // anti-aliased and anaglyph pictures too: their dots fall between
        // the tiles' dots
        render_options plain = plain_options(), two = threads_options(2);
        plain.aa = two.aa = 1 + k % 3;
        plain.anaglyph = two.anaglyph = !stereo && k % 5 == 4;

        ASSERT_EQ(make_image(stereo, plain), RAY_DONE);
        std::vector<unsigned char> a = picture();
        sc.ixmx = w, sc.iymx = h, sc.vpnax = vx, sc.vpnay = vy, sc.vpnaz = vz;
        ASSERT_EQ(make_image(stereo, two), RAY_DONE);
        ASSERT_TRUE(picture() == a) << "scene " << k;
    }
}

namespace {

// 48 small balls spread over the view, no planes: each tile of the
// accelerated tracer lists few of them, so a dot given the wrong tile
// misses its ball.
void balls_scene(scene &sc, int w, int h, int)
{
    sc = scene{};
    look(sc, {0, 0, 0}, {0.1, -1, 0.3}, 14, 8, w, h, 1);
    for (int i = 0; i < 48; i++) {
        primrec b = sphere(0.22, {-3.5 + (i % 8), 0.3 * (i % 3), -2.5 + (i / 8)});
        b.ka = 0.3, b.kd = 0.6, b.ks = 0.4, b.npow = 10;
        b.col = colr{60 + 4 * i, 250 - 3 * i, 120};
        add(sc, b);
    }
    light(sc, {4, -6, 5});
}

// busy_scene's (or another scene's) picture at w x h, made by a render_job
// with opt; its frame is written back to sc, as the window does.
struct picture busy_picture(scene &sc, int w, int h, render_options opt,
                            void (*make)(scene &, int, int, int) = busy_scene)
{
    make(sc, w, h, 2);
    render_job job(sc, opt);
    EXPECT_EQ(job.run(), RAY_DONE);
    apply_frame(sc, job.view());
    return job.result();
}

render_options aa_options(int aa, int stereo = 0, bool anaglyph = false)
{
    render_options o;
    o.aa = aa;
    o.stereo = stereo;
    o.anaglyph = anaglyph;
    return o;
}

// Dot (x, y) of big's n x n blocks, averaged per channel as (sum + n*n/2) / (n*n).
std::vector<unsigned char> blocks(const struct picture &big, int n)
{
    const int w = big.w / n, h = big.h / n;
    std::vector<unsigned char> v;
    for (const std::vector<unsigned char> *p : {&big.r, &big.g, &big.b})
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                unsigned sum = 0;
                for (int j = 0; j < n; j++)
                    for (int i = 0; i < n; i++)
                        sum += (*p)[(size_t)(y * n + j) * big.w + x * n + i];
                v.push_back((unsigned char)((sum + n * n / 2) / (n * n)));
            }
    return v;
}

std::vector<unsigned char> bytes(const struct picture &p)
{
    std::vector<unsigned char> v = p.r;
    v.insert(v.end(), p.g.begin(), p.g.end());
    v.insert(v.end(), p.b.begin(), p.b.end());
    return v;
}

} // namespace

// --aa N is the picture made N times as large, averaged in N x N blocks;
// for a pair each eye's half so; on any number of threads and the plain
// search alike; 1 is the plain picture, and N beyond 1..8 the nearer bound.
TEST_F(RayMain, AntiAliasingAveragesTheLargerPicture)
{
    struct {
        int w, h, stereo, n;
        void (*make)(scene &, int, int, int);
    } cases[] = {{7, 5, 0, 2, busy_scene},    {6, 4, 0, 3, busy_scene},
                 {5, 3, 0, 8, busy_scene},    {12, 5, 1, 2, busy_scene},
                 {9, 4, 1, 3, busy_scene},    {96, 64, 0, 2, balls_scene},
                 {80, 40, 0, 3, balls_scene}, {120, 40, 1, 2, balls_scene}};
    for (auto &c : cases) {
        const int ew = c.stereo ? c.w / 2 : c.w; // dots per eye
        const struct picture big = busy_picture(sc, c.n * ew * (c.stereo ? 2 : 1), c.n * c.h,
                                                aa_options(1, c.stereo), c.make);
        const struct picture small = busy_picture(sc, c.w, c.h, aa_options(c.n, c.stereo), c.make);
        ASSERT_EQ(small.w, c.stereo ? 2 * ew : c.w);
        ASSERT_EQ(small.h, c.h);
        EXPECT_TRUE(bytes(small) == blocks(big, c.n)) << c.w << " x " << c.h << " aa " << c.n;
        EXPECT_EQ(sc.ixmx, small.w); // what a picture leaves in the scene: its own size

        render_options plain = aa_options(c.n, c.stereo), three = aa_options(c.n, c.stereo);
        plain.plain = true;
        three.threads = 3;
        EXPECT_TRUE(bytes(busy_picture(sc, c.w, c.h, plain, c.make)) == bytes(small));
        EXPECT_TRUE(bytes(busy_picture(sc, c.w, c.h, three, c.make)) == bytes(small));
    }
    const std::vector<unsigned char> one = bytes(busy_picture(sc, 9, 7, aa_options(1)));
    EXPECT_TRUE(bytes(busy_picture(sc, 9, 7, aa_options(0))) == one);
    EXPECT_TRUE(bytes(busy_picture(sc, 9, 7, aa_options(-5))) == one);
    EXPECT_TRUE(bytes(busy_picture(sc, 3, 2, aa_options(99))) ==
                bytes(busy_picture(sc, 3, 2, aa_options(8))));
}

// An anaglyph is the pair twice as wide: red from its second half (the eye
// moved along -uvec), green and blue from its first; with --aa too.
TEST_F(RayMain, AnaglyphTakesItsChannelsFromThePair)
{
    for (int n : {1, 2}) {
        const int w = 11, h = 6;
        const struct picture pair = busy_picture(sc, 2 * w, h, aa_options(n, 1));
        const struct picture ana = busy_picture(sc, w, h, aa_options(n, 0, true));
        ASSERT_EQ(ana.w, w);
        ASSERT_EQ(ana.h, h);
        EXPECT_EQ(sc.ixmx, w);
        int differ = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                const size_t a = (size_t)y * w + x, p = (size_t)y * 2 * w + x;
                differ +=
                    ana.r[a] != pair.r[p + w] || ana.g[a] != pair.g[p] || ana.b[a] != pair.b[p];
            }
        EXPECT_EQ(differ, 0) << "aa " << n;
        // the stereo flag changes nothing in an anaglyph
        EXPECT_TRUE(bytes(busy_picture(sc, w, h, aa_options(n, 1, true))) == bytes(ana));
    }
}

// Traced beyond 1024 x 768, never clamped: 520 dots at aa 2 trace 1040
// columns, each dot as make_eye and calc give it on the scaled frame.
TEST_F(RayMain, AntiAliasingTracesBeyondTheLargestPicture)
{
    const struct picture pic = busy_picture(sc, 520, 2, aa_options(2));
    ASSERT_EQ(pic.w, 520);
    frame f;
    ASSERT_TRUE(make_frame(sc, 0, f));
    const frame big = scaled_frame(f, 2);
    ASSERT_EQ(big.w, 1040);
    struct picture traced;
    traced.resize(1040, 4);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 1040; x++) {
            vec dir;
            colr c;
            make_eye(dir, big.eye[0], x, y, big);
            calc(c, big.eye[0], dir, sc.ilvlmx, sc);
            const size_t i = (size_t)y * 1040 + x;
            traced.r[i] = (unsigned char)(unsigned)(c.r > 255 ? 255 : c.r);
            traced.g[i] = (unsigned char)(unsigned)(c.g > 255 ? 255 : c.g);
            traced.b[i] = (unsigned char)(unsigned)(c.b > 255 ? 255 : c.b);
        }
    EXPECT_TRUE(bytes(pic) == blocks(traced, 2));
}

TEST_F(RayMain, NoLookDirectionRendersNothing)
{
    look(sc, {1, 2, 3}, {0, 0, 0}, 10, 4, 1500, 6);
    fill_planes(pl, 0x11);
    EXPECT_EQ(make_image(), RAY_NOVIEW);
    EXPECT_EQ(sc.ixmx, 1500);
    EXPECT_EQ(sc.vpnaz, 0);
    EXPECT_EQ(std::isnan(sc.vpnax), false);
    EXPECT_TRUE(planes_all(pl, 0x11));
}

TEST_F(RayMain, CancelledBeforeItStartsChangesNothing)
{
    busy_scene(sc, 3000, 2, 0);
    fill_planes(pl, 0x22);
    render_options opt;
    opt.stereo = 1;
    render_job job(sc, opt);
    job.cancel();
    EXPECT_EQ(run_and_keep(job), RAY_CANCELLED);
    EXPECT_EQ(sc.ixmx, 3000);
    EXPECT_EQ(sc.vpnay, -1);
    EXPECT_TRUE(planes_all(pl, 0x22));
}

// With the eye in the view window, the dot that looks at the look point
// has no direction; it shows black and the rest of the picture is traced.
TEST_F(RayMain, EyeInTheWindow)
{
    look(sc, {0, 0, 0}, {0, 0, 1}, 0, 4, 4, 2);
    primrec room = sphere(100, {0, 0, 0});
    room.ka = 1;
    room.col = colr{9, 9, 9};
    add(sc, room);
    ASSERT_EQ(make_image(), RAY_DONE);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(pl.r[i], i == 1 * 4 + 2 ? 0 : 9) << i;
}
