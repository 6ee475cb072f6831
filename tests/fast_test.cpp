// The accelerated tracer against the plain search: the same colour for
// every ray, bit for bit, where culling is most likely to go wrong.
#include "randscene.h"
#include "testscene.h"
#include "image/rgb.h"
#include "trace/crossp.h"
#include "trace/fast.h"
#include "trace/render.h"
#include "trace/shade.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using FastTracer = scene_fixture;

// Prepares sc for rays from eye alone: with no picture, primary rays
// from it go by their direction. In steps, the grids last first (threads
// may build them in any order) and within budget entries, or at once.
fast_prep_ptr prepare_eye(const scene &sc, const vec &eye, int path = KERNELS_BEST,
                          bool steps = false, size_t budget = GRID_BUDGET)
{
    frame f{};
    f.eye[0] = f.eye[1] = eye;
    f.neyes = 1;
    if (!steps)
        return fast_prepare(sc, f, path);
    fast_prep_ptr prep = fast_prepare_begin(sc, f, path, budget);
    if (prep) {
        for (int t = fast_prepare_grids(*prep); t-- > 0;)
            fast_prepare_grid(*prep, t);
        fast_prepare_end(*prep);
    }
    return prep;
}

// Compares one ray; returns whether it shows anything.
bool expect_same(const scene &sc, const vec &o, const vec &d, int eye, fast_tracer &tr,
                 const char *what)
{
    colr a, b;
    calc(a, o, d, sc.ilvlmx, sc);
    calc_fast(tr, b, o, d, sc.ilvlmx, eye);
    EXPECT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b)
        << what << ": origin " << o.x << " " << o.y << " " << o.z << " direction " << d.x << " "
        << d.y << " " << d.z << " plain " << a.r << " " << a.g << " " << a.b << " fast " << b.r
        << " " << b.g << " " << b.b;
    return a.r || a.g || a.b;
}

// Rays from the prepared eye, from anywhere, and from points on surfaces.
void compare_rays(const scene &sc, rng_t &r, double s, int nrays, int path = KERNELS_BEST)
{
    vec eye = r.v(12 * s);
    // some grids left out for want of room, now and then
    const size_t budget = r.pick(3) ? GRID_BUDGET : 1 + r.pick(20000);
    fast_prep_ptr prep = prepare_eye(sc, eye, path, r.pick(2) != 0, budget);
    ASSERT_TRUE(prep);
    fast_tracer tr(sc, *prep);
    for (int i = 0; i < nrays; i++) {
        expect_same(sc, eye, r.v(1), 0, tr, "from the eye");
        expect_same(sc, r.v(10 * s), r.v(1), -1, tr, "from anywhere");
        // from a hit point, as a reflected or refracted ray starts
        vec h, d = r.v(1);
        if (tr.nearest(eye, d, -1, h) >= 0)
            expect_same(sc, h, r.v(1), -1, tr, "from a surface");
    }
}

} // namespace

TEST_F(FastTracer, MatchesThePlainSearchRayByRay)
{
    rng_t r(5);
    for (int k = 0; k < 60; k++) {
        random_scene(sc, r, 1, 2 + r.pick(k % 10 == 0 ? 90 : 14), 1 + r.pick(4));
        compare_rays(sc, r, 1, 200);
        if (HasFailure())
            return;
    }
}

// Lights so dim, and highlights so faint, that a term sits near one unit
// of a channel, with trans above 1, exponents of 0 and below and the like
// (hostile_optics): the accelerated tracer skips the shadow search of a
// light that can add nothing and the power of a highlight below its
// primitive's floor, on every kernel path, and must still give the plain
// search's colours.
TEST_F(FastTracer, MatchesWithDimLightsAndFaintHighlights)
{
    rng_t r(11);
    for (int k = 0; k < 40; k++) {
        random_scene(sc, r, 1, 2 + r.pick(14), 1 + r.pick(k % 4 == 0 ? 60 : 6));
        hostile_optics(sc, r);
        const unsigned seed = r.g();
        for (int path = KERNELS_SCALAR; path <= kernel_path_best(); path++) {
            rng_t same(seed); // the same rays on every path
            compare_rays(sc, same, 1, 150, path);
            ASSERT_EQ(fast_kernel_path(*prepare_eye(sc, {0, 0, 0}, path)), path);
            if (HasFailure())
                return;
        }
    }
}

// Hit points are rounded at every scale; the boxes must be widened enough
// for the largest and the smallest scenes alike.
TEST_F(FastTracer, MatchesAtLargeAndSmallScales)
{
    rng_t r(6);
    for (double s : {1e-5, 1e-3, 1e3, 1e5, 3e6}) {
        for (int k = 0; k < 6; k++) {
            random_scene(sc, r, s, 2 + r.pick(14), 1 + r.pick(3));
            compare_rays(sc, r, s, 150);
            if (HasFailure())
                return;
        }
    }
}

// Rays that just touch a sphere, a cylinder and a box edge, seen from the
// eye and from a light, are where a box test cut too tight would lose a hit.
TEST_F(FastTracer, MatchesOnGrazingRays)
{
    add(sc, sphere(1, {0, 0, 0}));
    add(sc, prim(3, {4, 4, 0}, {3, 0, 0})); // cylinder of radius 0.5 along z
    add(sc, prim(2, {0.5, 0.5, 0.5}, {-3, 0, 0}));
    for (int i = 0; i < sc.primmx; i++) {
        sc.pri[i].ka = 0.2, sc.pri[i].kd = 0.7, sc.pri[i].ks = 0.4, sc.pri[i].npow = 9;
        sc.pri[i].surf = 1 + i; // opaque, mirror, glass
        sc.pri[i].refr = 1.5, sc.pri[i].trans = 0.5;
    }
    light(sc, {0, 0, 8}, 1);
    light(sc, {0, -6, 0}, 1);
    sc.ilvlmx = 1;
    vec eye{0, -10, 0};
    fast_prep_ptr prep = prepare_eye(sc, eye);
    ASSERT_TRUE(prep);
    fast_tracer tr(sc, *prep);
    rng_t r(7);
    int shown = 0;
    for (int i = 0; i < 4000; i++) {
        double a = r.u(0, 6.283185307179586);
        double e = std::pow(10.0, -r.u(0, 15)) * (r.pick(2) ? 1 : -1);
        // toward the silhouette of the sphere, the cylinder's edge or the box's rim
        vec target;
        switch (i % 3) {
        case 0:
            target = vec{(1 + e) * std::cos(a), 0, (1 + e) * std::sin(a)};
            break;
        case 1:
            target = vec{3 + 0.5 + e, 0, r.u(-2, 2)};
            break;
        default:
            target = vec{-3 + 0.5 + e, -0.5, 0.5 + e};
            break;
        }
        vec d;
        vsub(d, target, eye);
        shown += expect_same(sc, eye, d, 0, tr, "grazing from the eye");
        vec l = sc.lig[i % 2].pos;
        vsub(d, target, l);
        expect_same(sc, l, d, -1, tr, "grazing from a light");
        if (HasFailure())
            return;
    }
    EXPECT_GT(shown, 1000); // the rays do meet the shapes
}

// A light reaches a point only from less than 100000 units away; the
// accelerated shadow search rules far lights out before searching.
TEST_F(FastTracer, MatchesForLightsAtTheDistanceLimit)
{
    for (double dist : {99999.9999, 99999.99999999, 100000.0, 100000.00001, 100000.1}) {
        sc = scene{};
        primrec floor = prim(1, {0, 0, 1}, {0, 0, 0});
        floor.kd = 0.8;
        add(sc, floor);
        add(sc, sphere(1, {0, 0, 1}));
        sc.pri[1].kd = 0.8;
        light(sc, {0, 0, dist}, 1);
        light(sc, {dist / std::sqrt(2.0), 0, dist / std::sqrt(2.0)}, 1);
        vec eye{0, -10, 5};
        fast_prep_ptr prep = prepare_eye(sc, eye);
        ASSERT_TRUE(prep);
        fast_tracer tr(sc, *prep);
        rng_t r(8);
        int shown = 0;
        for (int i = 0; i < 300; i++) {
            vec d{r.u(-0.5, 0.5), 1, r.u(-0.8, 0)};
            shown += expect_same(sc, eye, d, 0, tr, "far light");
        }
        EXPECT_GT(shown, 100);
    }
}

// Transparent primitives dim a light in index order; several in a row
// with factors whose products round differently in other orders.
TEST_F(FastTracer, DimsInIndexOrder)
{
    primrec floor = prim(1, {0, 0, 1}, {0, 0, 0});
    floor.kd = 1;
    floor.col = colr{255, 255, 255};
    add(sc, floor);
    const double trans[] = {0.1, 0.7, 0.3, 0.9, 0.33};
    for (int i = 0; i < 5; i++) {
        primrec g = sphere(0.4, {0.1 * i, 0, 1.5 + i});
        g.surf = 3;
        g.trans = trans[i];
        g.refr = 1.5;
        add(sc, g);
    }
    light(sc, {0, 0, 9}, 255);
    sc.ilvlmx = 0;
    vec eye{0, -6, 4};
    fast_prep_ptr prep = prepare_eye(sc, eye);
    ASSERT_TRUE(prep);
    fast_tracer tr(sc, *prep);
    rng_t r(9);
    int shown = 0;
    for (int i = 0; i < 2000; i++) {
        vec target{r.u(-0.6, 0.6), r.u(-0.6, 0.6), 0};
        vec d;
        vsub(d, target, eye);
        shown += expect_same(sc, eye, d, 0, tr, "under the glass");
    }
    EXPECT_GT(shown, 1000);
}

// Whole pictures with many lights (coarse light grids), stereo pairs and
// an eye inside a primitive, on several threads.
TEST_F(FastTracer, WholePicturesMatch)
{
    rng_t r(10);
    for (int k = 0; k < 8; k++) {
        random_scene(sc, r, 1, 30 + r.pick(70), k < 4 ? 60 : 3);
        if (k == 7)
            add(sc, sphere(40, {0, 0, 0})); // everything, eye included, inside a sphere
        const int stereo = k % 2;
        look(sc, r.v(1), r.v(1), 14, 8, 40, 24, 2);
        const double vx = sc.vpnax, vy = sc.vpnay, vz = sc.vpnaz;
        ASSERT_EQ(make_image(stereo, plain_options()), RAY_DONE);
        std::vector<unsigned char> a = picture();
        sc.ixmx = 40, sc.iymx = 24, sc.vpnax = vx, sc.vpnay = vy, sc.vpnaz = vz;
        ASSERT_EQ(make_image(stereo, threads_options(3)), RAY_DONE);
        ASSERT_TRUE(picture() == a) << "scene " << k;
    }
}
