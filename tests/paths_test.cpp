// Every way of tracing gives the plain search's bytes: the kernel paths of
// kernels.h against their scalar twin, number by number, and whole
// pictures of the samples, the bench scenes and random scenes on every
// path the processor runs.
#include "inputs.h"
#include "randscene.h"
#include "testscene.h"
#include "trace/dirgrid.h"
#include "trace/fast.h"
#include "trace/kernels.h"
#include "trace/render.h"
#include "trace/shade_impl.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The same bits, or both no number (which NaN the hardware makes of two
// differs with the order of the operands, and nothing shows it).
bool same_number(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b);
}

// A coordinate from everywhere the shading may meet: ordinary numbers,
// zeros of both signs, subnormal, tiny, huge, infinite and no number.
double odd(rng_t &r)
{
    switch (r.pick(12)) {
    case 0:
        return 0.0;
    case 1:
        return -0.0;
    case 2:
        return r.u(-1, 1) * 1e-310;
    case 3:
        return r.u(-1, 1) * 1e-160;
    case 4:
        return r.u(-1, 1) * 1e160;
    case 5:
        return r.u(-1, 1) * DBL_MAX;
    case 6:
        return r.pick(2) ? HUGE_VAL : -HUGE_VAL;
    case 7:
        return std::nan("");
    default:
        return r.u(-10, 10);
    }
}

vec odd_vec(rng_t &r, bool plain) { return plain ? r.v(10) : vec{odd(r), odd(r), odd(r)}; }

struct geom_case {
    light_pos L;
    vec h, n, u;
    double n2;
};

geom_case random_case(rng_t &r)
{
    geom_case c;
    const bool plain = r.pick(3) != 0;
    ligrec lig[LIGHT_MAX];
    const int n = 1 + r.pick(r.pick(4) ? 8 : LIGHT_MAX);
    for (int j = 0; j < n; j++)
        lig[j] = ligrec{odd_vec(r, plain), 1};
    light_pos_of(c.L, lig, n);
    c.h = odd_vec(r, plain);
    c.n = odd_vec(r, plain);
    c.n2 = vlength2(c.n);
    vec d = odd_vec(r, plain);
    vnorm(c.u, d);
    return c;
}

std::vector<std::string> scenes_to_trace()
{
    std::vector<std::string> v = inputs_under("samples/", ".RT");
    for (const char *s : {"simple", "csg", "glass", "heavy"})
        v.push_back(KORU_SOURCE_DIR "/bench/scenes/" + std::string(s) + ".RT");
    v.push_back(KORU_SOURCE_DIR "/bench/extra/lights60.RT");
    // more primitives than a group's secondary rays try side by side
    v.push_back(KORU_SOURCE_DIR "/tests/scenes/many-spheres.RT");
    return v;
}

// Renders tsc (reloaded by set_up before each render) with the plain
// search and on every kernel path, on two threads, one view and a pair;
// every picture must be the plain one.
template <class F>
void expect_every_path_alike(F set_up, const std::string &what)
{
    for (int stereo : {0, 1}) {
        set_up();
        ASSERT_EQ(ray_main(stereo, plain_options()), RAY_DONE) << what;
        const std::vector<unsigned char> plain = picture();
        for (int path = KERNELS_SCALAR; path <= kernel_path_best(); path++) {
            set_up();
            render_options o = threads_options(2);
            o.kernels = path;
            ASSERT_EQ(ray_main(stereo, o), RAY_DONE) << what;
            EXPECT_TRUE(picture() == plain)
                << what << (stereo ? " (stereo)" : "") << " on " << kernel_path_name(path);
        }
    }
}

} // namespace

// The vector paths do lane by lane the scalar twin's operations: the same
// numbers for every light, whatever the inputs hold.
TEST(LightGeometry, EveryPathGivesTheScalarNumbers)
{
    rng_t r(21);
    static light_geom::block want_b[LIGHT_ROOM / 8], got_b[LIGHT_ROOM / 8];
    light_geom want{want_b}, got{got_b};
    for (int i = 0; i < 3000; i++) {
        const geom_case c = random_case(r);
        const bool hl = r.pick(4) != 0;
        kernels_of(KERNELS_SCALAR).geometry(c.L, c.h, c.n, c.n2, c.u, hl, want);
        for (int path = KERNELS_SSE2; path <= kernel_path_best(); path++) {
            for (light_geom::block &b : got_b)
                b = light_geom::block{};
            kernels_of(path).geometry(c.L, c.h, c.n, c.n2, c.u, hl, got);
            for (int j = 0; j < c.L.n; j++) {
                using field = double (light_geom::*)(int) const;
                const field fields[] = {&light_geom::lx,  &light_geom::ly,   &light_geom::lz,
                                        &light_geom::dl2, &light_geom::dist, &light_geom::cn,
                                        &light_geom::ch};
                for (int q = 0; q < (hl ? 7 : 6); q++) {
                    const double a = (want.*fields[q])(j), b = (got.*fields[q])(j);
                    ASSERT_TRUE(same_number(a, b))
                        << kernel_path_name(path) << ": case " << i << ", light " << j
                        << ", number " << q << ": " << a << " against " << b;
                }
            }
        }
    }
}

// The scalar twin computes what the plain shading does with vec.h.
TEST(LightGeometry, TheScalarNumbersAreTheShadingsOwn)
{
    rng_t r(22);
    static light_geom::block blocks[LIGHT_ROOM / 8];
    light_geom g{blocks};
    for (int i = 0; i < 3000; i++) {
        const geom_case c = random_case(r);
        kernels_of(KERNELS_SCALAR).geometry(c.L, c.h, c.n, c.n2, c.u, true, g);
        for (int j = 0; j < c.L.n; j++) {
            vec lv;
            vsub(lv, c.h, vec{c.L.x[j], c.L.y[j], c.L.z[j]});
            ASSERT_TRUE(same_number(g.lx(j), lv.x) && same_number(g.ly(j), lv.y) &&
                        same_number(g.lz(j), lv.z));
            ASSERT_TRUE(same_number(g.dl2(j), vlength2(lv)));
            ASSERT_TRUE(same_number(g.dist(j), vlength(lv)));
            ASSERT_TRUE(same_number(g.cn(j), vcos(c.n, lv))) << "case " << i;
            ASSERT_TRUE(same_number(g.ch(j), shade_detail::highlight_cos(c.u, c.n, lv)))
                << "case " << i;
        }
    }
}

// The lights of a group's points: on every path the scalar twin's numbers
// (the geometry, the shadow rays begun, which points a light can change
// and the colours it adds), and the twin's are the shading's own: vec.h's
// cosines, light_matters, dirgrid_cell and add_light, term by term.
TEST(GroupKernels, LightsAsShadeGivesThem)
{
    rng_t r(26);
    static dirgrid grid;
    grid.n = 32;
    const kernels &twin = kernels_of(KERNELS_SCALAR);
    const double some[] = {0, 0.5, 1, 3, 1e-300, 1e300};
    for (int i = 0; i < 2000; i++) {
        const geom_case c = random_case(r);
        const bool plain = r.pick(3) != 0;
        const vec lp{c.L.x[0], c.L.y[0], c.L.z[0]};
        const double fimax = some[r.pick(6)], bright = r.pick(4) ? r.u(-2, 2) : odd(r);
        primrec ph[SHADOW_GROUP];
        double floors[SHADOW_GROUP][2];
        lit_point pt[SHADOW_GROUP];
        colr k[SHADOW_GROUP], want[SHADOW_GROUP];
        double f[SHADOW_GROUP];
        for (int q = 0; q < SHADOW_GROUP; q++) {
            ph[q] = primrec{};
            ph[q].kd = r.pick(4) ? some[r.pick(6)] : odd(r);
            ph[q].ks = r.pick(4) ? some[r.pick(6)] : odd(r);
            ph[q].npow = r.pick(4) ? 1 + r.pick(80) : (int)r.u(-3, 3);
            floors[q][1] = r.pick(2) ? r.u(0, 1) : some[r.pick(6)];
            k[q] = colr{r.pick(300) - 20, r.pick(256), r.pick(2) ? r.pick(256) : INT_MAX - 5};
            const vec h = plain ? r.v(10) : odd_vec(r, false), n = odd_vec(r, plain);
            vec u = odd_vec(r, plain);
            vnorm(u, vec(u));
            pt[q] = lit_point{h,
                              n,
                              u,
                              vlength2(n),
                              ph[q].kd,
                              ph[q].ks,
                              (double)ph[q].npow,
                              std::fabs(ph[q].kd) * shade_detail::cmax(k[q]),
                              (double)q,
                              (double)k[q].r,
                              (double)k[q].g,
                              (double)k[q].b,
                              floors[q]};
            f[q] = r.pick(4) ? r.u(0, 1) : some[r.pick(6)];
            want[q] = colr{r.pick(100), 0, 0};
        }
        const int n = 1 + r.pick(SHADOW_GROUP);
        lit_batch P, Q;
        shadow_batch R, S;
        twin.lit_begin(P, pt);
        const unsigned matters = twin.lit_light(P, R, lp, fimax, 1, grid.n, n);
        const unsigned ok = (unsigned)r.pick(1 << SHADOW_GROUP);
        unsigned no_cell = 0, too_far = 0;
        double far_dist = 0;
        for (int q = 0; q < SHADOW_GROUP; q++) {
            // the colours so far
            P.r[q] = want[q].r, P.g[q] = want[q].g, P.b[q] = want[q].b;
            vec lv;
            vsub(lv, pt[q].h, lp);
            surface s{};
            s.ph = &ph[q], s.n = pt[q].n, s.n2 = pt[q].n2;
            const double cn = vcos(pt[q].n, lv),
                         ch = shade_detail::highlight_cos(pt[q].u, pt[q].n, lv);
            ASSERT_TRUE(same_number(R.lx[q], lv.x) && same_number(R.dl2[q], vlength2(lv)) &&
                        same_number(P.dist[q], vlength(lv)) && same_number(P.cn[q], cn) &&
                        same_number(P.ch[q], ch))
                << "case " << i << ", point " << q;
            ASSERT_EQ(R.cell[q], dirgrid_cell(grid, lv)) << "case " << i << ", point " << q;
            const bool m = q < n && shade_detail::light_matters(s, lv, vlength2(lv), cn, ch, fimax,
                                                                pt[q].dscale, floors[q][1]);
            ASSERT_EQ(matters >> q & 1, (unsigned)m) << "case " << i << ", point " << q;
            if (m) {
                no_cell |= (unsigned)(dirgrid_cell(grid, lv) < 0) << q;
                too_far |= (unsigned)!(vlength2(lv) < SHADOW_FAR2) << q;
                far_dist = vlength(lv) > far_dist ? vlength(lv) : far_dist;
            }
            if (ok >> q & 1)
                shade_detail::add_light<true>(want[q], ph[q], k[q], cn, ch, f[q] * bright,
                                              floors[q][1]);
        }
        ASSERT_TRUE(R.no_cell == no_cell && R.too_far == too_far &&
                    same_number(R.far_dist, far_dist))
            << "case " << i;
        Q = P;
        twin.lit_add(P, ok, f, bright, 1);
        for (int q = 0; q < SHADOW_GROUP; q++)
            ASSERT_TRUE(P.r[q] == want[q].r && P.g[q] == want[q].g && P.b[q] == want[q].b)
                << "case " << i << ", point " << q;
        for (int path = KERNELS_SSE2; path <= kernel_path_best(); path++) {
            const kernels &K = kernels_of(path);
            lit_batch G;
            K.lit_begin(G, pt);
            ASSERT_EQ(K.lit_light(G, S, lp, fimax, 1, grid.n, n), matters)
                << kernel_path_name(path) << ": case " << i;
            ASSERT_TRUE(S.no_cell == R.no_cell && S.too_far == R.too_far &&
                        same_number(S.far_dist, R.far_dist))
                << kernel_path_name(path) << ": case " << i;
            using field = double(shadow_batch::*)[SHADOW_GROUP];
            for (int q = 0; q < SHADOW_GROUP; q++)
                for (field m : {&shadow_batch::lx, &shadow_batch::ly, &shadow_batch::lz,
                                &shadow_batch::hx, &shadow_batch::dl2, &shadow_batch::lim,
                                &shadow_batch::hit, &shadow_batch::live, &shadow_batch::cell})
                    ASSERT_TRUE(same_number((R.*m)[q], (S.*m)[q]))
                        << kernel_path_name(path) << ": case " << i << ", point " << q;
            for (int q = 0; q < SHADOW_GROUP; q++) {
                G.r[q] = Q.r[q], G.g[q] = Q.g[q], G.b[q] = Q.b[q];
                ASSERT_TRUE(same_number(G.cn[q], Q.cn[q]) && same_number(G.ch[q], Q.ch[q]) &&
                            same_number(G.dist[q], Q.dist[q]));
            }
            K.lit_add(G, ok, f, bright, 1);
            for (int q = 0; q < SHADOW_GROUP; q++)
                ASSERT_TRUE(G.r[q] == P.r[q] && G.g[q] == P.g[q] && G.b[q] == P.b[q])
                    << kernel_path_name(path) << ": case " << i << ", point " << q;
        }
    }
}

// Quadrics and cones of every kind: bounded and not, degenerate, of huge
// and tiny coefficients, and numbers that are none.
void random_quads(rng_t &r, primrec *pri, int n, int *items, int &nitems)
{
    nitems = 0;
    for (int i = 0; i < n; i++) {
        const bool plain = r.pick(4) != 0;
        primrec p = prim(3 + r.pick(2),
                         plain ? vec{r.u(0.1, 3), r.u(-1, 3), r.u(-3, 3)} : odd_vec(r, false),
                         plain ? r.v(4) : odd_vec(r, false));
        if (r.pick(6) == 0)
            p.geom.y = 0; // a cylinder
        p.surf = 1 + r.pick(3);
        pri[i] = p;
        items[nitems++] = i;
    }
}

// The plain search's nearest over the primitives in items.
pick plain_nearest(const primrec *pri, const int *items, int n, const vec &o, const vec &d)
{
    pick b;
    for (int k = 0; k < n; k++) {
        vec p, q;
        crossp(p, o, d, pri[items[k]], pri);
        const double d2 = vlength2(vsub(q, o, p));
        if (d2 < b.d2) {
            b.d2 = d2;
            b.i = items[k];
            b.p = p;
        }
    }
    return b;
}

bool same_pick(const pick &a, const pick &b)
{
    return a.i == b.i && (a.i < 0 || (same_number(a.d2, b.d2) && same_number(a.p.x, b.p.x) &&
                                      same_number(a.p.y, b.p.y) && same_number(a.p.z, b.p.z)));
}

// Every path's nearest over a quad_set is the plain search's over the same
// primitives: the same primitive, distance and point, ties to the lower
// index, from ordinary origins and from far out, where the no-hit marker
// itself may be nearest.
TEST(QuadKernels, NearestIsThePlainSearchs)
{
    rng_t r(24);
    static primrec pri[PRIM_MAX];
    static quad_set Q;
    int items[PRIM_MAX], n;
    for (int i = 0; i < 2000; i++) {
        random_quads(r, pri, 1 + r.pick(i % 10 == 0 ? PRIM_MAX : 12), items, n);
        if (r.pick(5) == 0 && n > 1)
            pri[n - 1] = pri[0]; // a twin: a tie
        quad_set_of(Q, pri, items, n);
        for (int ray = 0; ray < 20; ray++) {
            const bool plain = r.pick(4) != 0;
            vec o = plain ? r.v(8) : odd_vec(r, false), d = plain ? r.v(1) : odd_vec(r, false);
            if (r.pick(10) == 0)
                o = vec{FAR, FAR * (1 - 1e-15), FAR}; // where the marker is near
            const pick want = plain_nearest(pri, items, n, o, d);
            for (int path = KERNELS_SCALAR; path <= kernel_path_best(); path++) {
                pick got;
                kernels_of(path).nearest(Q, o, d, got);
                ASSERT_TRUE(same_pick(want, got))
                    << kernel_path_name(path) << ": set " << i << ", ray " << ray << ": " << want.i
                    << " at " << want.d2 << " against " << got.i << " at " << got.d2;
            }
        }
    }
}

// The group kernels do for each of their rays what the search does for it
// alone: from one origin, and from an origin of each ray's own, the
// nearest of primitives of every kind, with partners and without (planes,
// boxes, quadrics, cones, plain numbers and odd ones) as crossp and pick
// find it, on every path; from one light, the shadow
// bookkeeping of the scalar twin on every path (some rays set aside), and
// each ray's cell of the light's grid as dirgrid_cell gives it.
TEST(GroupKernels, EveryRayAsAlone)
{
    rng_t r(25);
    static primrec pri[9];
    pri[8] = prim(7, vec{1, 1, 1}); // a partner of no known type accepts nothing
    static dirgrid grid;
    grid.n = 64;
    const kernels &twin = kernels_of(KERNELS_SCALAR);
    for (int i = 0; i < 3000; i++) {
        const int n = 1 + r.pick(8);
        for (int k = 0; k < n; k++) {
            const bool plain = r.pick(4) != 0;
            const int type = 1 + r.pick(4);
            vec g = plain ? r.v(2) : odd_vec(r, false);
            if (plain && type == PRIM_BOX)
                g = vec{std::fabs(g.x) + 0.1, std::fabs(g.y) + 0.1, std::fabs(g.z) + 0.1};
            pri[k] = prim(type, g, plain ? r.v(4) : odd_vec(r, false), r.pick(2) ? 1 : -1);
            pri[k].surf = 1 + r.pick(3);
            // partners (a group's other members), of any kind
            pri[k].nmem = r.pick(3) ? 0 : 1 + r.pick(3);
            for (int m = 0; m < pri[k].nmem; m++)
                pri[k].mem[m] = r.pick(16) ? r.pick(8) : 8;
        }
        const bool plain = r.pick(4) != 0;
        const vec o = plain ? r.v(8) : odd_vec(r, false);
        vec dir[SHADOW_GROUP], from[SHADOW_GROUP], lv[SHADOW_GROUP];
        lit_point pt[SHADOW_GROUP] = {};
        static const double floors[1] = {0};
        for (int q = 0; q < SHADOW_GROUP; q++) {
            from[q] = plain || r.pick(2) ? r.v(8) : odd_vec(r, false);
            dir[q] = plain || r.pick(2) ? r.v(6) : odd_vec(r, false);
            vadd(pt[q].h, o, dir[q]);
            vsub(lv[q], pt[q].h, o);
            pt[q].hit = r.pick(n);
            pt[q].floor = floors;
        }
        xconst x[8];
        for (int k = 0; k < n; k++)
            xprep(x[k], o, pri[k]);
        // the shadow searches from o toward the points
        lit_batch P;
        shadow_batch want;
        twin.lit_begin(P, pt);
        twin.lit_light(P, want, o, 1, 0, grid.n, SHADOW_GROUP);
        for (int q = 0; q < SHADOW_GROUP; q++)
            ASSERT_EQ(want.cell[q], dirgrid_cell(grid, lv[q])) << "case " << i << ", ray " << q;
        const unsigned all = (1u << SHADOW_GROUP) - 1;
        const unsigned some = r.pick(4) ? all : (unsigned)r.pick(1 << SHADOW_GROUP);
        const double eps2 = r.pick(2) ? 1e-2 : 1e300; // near h, or anywhere
        twin.shadow_live(want, some);
        for (int q = 0; q < SHADOW_GROUP; q++)
            ASSERT_EQ(want.live[q], (double)(some >> q & 1));
        unsigned want_got[8];
        for (int k = 0; k < n; k++)
            want_got[k] = twin.shadow_try(want, pri, x[k], k, pri[k].surf == SURF_GLASS);
        const unsigned want_end = twin.shadow_end(want, eps2);
        for (int q = 0; q < SHADOW_GROUP; q++) {
            // reaches: the live ray's pick, or the marker, within eps2 of h
            vec sp = want.i[q] >= 0 ? vec{want.x[q], want.y[q], want.z[q]} : nohit(), d;
            const bool near = vlength2(vsub(d, pt[q].h, sp)) < eps2 && want.live[q] == 1;
            ASSERT_EQ(want_end >> q & 1, (unsigned)near) << "case " << i << ", ray " << q;
        }
        for (int path = KERNELS_SCALAR; path <= kernel_path_best(); path++) {
            const kernels &K = kernels_of(path);
            near_batch B;
            B.o = o;
            K.near_begin(B, dir);
            spread_batch F; // the same rays, each from an origin of its own
            K.spread_begin(F, from, dir);
            for (int k = 0; k < n; k++) {
                K.near_try(B, pri, x[k], k);
                K.spread_try(F, pri, k);
            }
            shadow_batch R;
            K.lit_begin(P, pt);
            K.lit_light(P, R, o, 1, 0, grid.n, SHADOW_GROUP);
            K.shadow_live(R, some);
            for (int k = 0; k < n; k++)
                ASSERT_EQ(K.shadow_try(R, pri, x[k], k, pri[k].surf == SURF_GLASS), want_got[k])
                    << kernel_path_name(path) << ": case " << i << ", primitive " << k;
            ASSERT_EQ(K.shadow_end(R, eps2), want_end) << kernel_path_name(path) << ": case " << i;
            for (int q = 0; q < SHADOW_GROUP; q++) {
                pick alone;
                for (int k = 0; k < n; k++) {
                    vec p, d;
                    crossp(p, o, dir[q], pri[k], pri);
                    alone.offer(vlength2(vsub(d, o, p)), k, p);
                }
                pick got;
                got.d2 = B.d2[q], got.i = (int)B.i[q], got.p = vec{B.x[q], B.y[q], B.z[q]};
                ASSERT_TRUE(same_pick(alone, got))
                    << kernel_path_name(path) << ": case " << i << ", ray " << q;
                pick own, spread;
                for (int k = 0; k < n; k++) {
                    vec p, d;
                    crossp(p, from[q], dir[q], pri[k], pri);
                    own.offer(vlength2(vsub(d, from[q], p)), k, p);
                }
                spread.d2 = F.d2[q], spread.i = (int)F.i[q];
                spread.p = vec{F.x[q], F.y[q], F.z[q]};
                ASSERT_TRUE(same_pick(own, spread))
                    << kernel_path_name(path) << ": case " << i << ", ray " << q << " alone";
                using field = double(shadow_batch::*)[SHADOW_GROUP];
                for (field m :
                     {&shadow_batch::lim, &shadow_batch::live, &shadow_batch::d2, &shadow_batch::i,
                      &shadow_batch::x, &shadow_batch::y, &shadow_batch::z, &shadow_batch::cell})
                    ASSERT_TRUE(same_number((want.*m)[q], (R.*m)[q]))
                        << kernel_path_name(path) << ": case " << i << ", ray " << q;
            }
        }
    }
}

TEST(LightGeometry, PathsAreChosenByTheProcessor)
{
    const int best = kernel_path_best();
    EXPECT_GE(best, KERNELS_SCALAR);
    EXPECT_LE(best, KERNELS_AVX512);
    EXPECT_EQ(kernel_path_usable(KERNELS_BEST), best);
    EXPECT_EQ(kernel_path_usable(KERNELS_SCALAR), KERNELS_SCALAR);
    EXPECT_EQ(kernel_path_usable(KERNELS_AVX512 + 1), best);
#if defined(__x86_64__)
    EXPECT_GE(best, KERNELS_SSE2); // every x86-64 processor has SSE2
#endif
}

// The samples, the bench scenes and 60 lights over glass at depth 10, at
// a small size.
TEST(LightPaths, SceneFilesMatchThePlainSearch)
{
    for (const std::string &file : scenes_to_trace()) {
        expect_every_path_alike(
            [&] {
                scene_begin();
                ASSERT_EQ(data_load(file.c_str()), 1) << file;
                ixmx = 48, iymx = 36;
            },
            file);
        if (HasFailure())
            return;
    }
}

// Random scenes of every kind with the optics at the edges of the
// shortcuts, up to 100 lights.
TEST(LightPaths, RandomScenesMatchThePlainSearch)
{
    rng_t r(23);
    for (int sc = 0; sc < 16; sc++) {
        const unsigned seed = r.g();
        // some beyond 48 primitives, where secondary rays walk the tree
        const int nprim = (sc % 4 == 1 ? 49 : 2) + r.pick(30);
        const int nlight = 1 + r.pick(sc % 4 == 0 ? 100 : 9);
        expect_every_path_alike(
            [&] {
                rng_t s(seed);
                random_scene(s, 1, nprim, nlight);
                hostile_optics(s);
                // widths of every remainder by a group: the last dots
                // of a row are shaded in a short group
                look(s.v(1), s.v(1), 14, 8, 24 + sc % SHADOW_GROUP, 16, 2);
            },
            "scene " + std::to_string(sc));
        if (HasFailure())
            return;
    }
}
