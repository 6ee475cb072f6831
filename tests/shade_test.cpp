// Shading: nearest hit, shadows, lighting terms, patterns and secondary rays.
#include "testscene.h"
#include "trace/shade.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using Calc = scene_fixture;
using GetColor = scene_fixture;
using Refl = scene_fixture;

colr shade(const scene &sc, vec o, vec d, int depth = 0)
{
    colr c{-9, -9, -9};
    calc(c, o, d, depth, sc);
    return c;
}

#define EXPECT_COL(c, R, G, B)                                                                     \
    do {                                                                                           \
        colr c_ = (c);                                                                             \
        EXPECT_EQ(c_.r, R);                                                                        \
        EXPECT_EQ(c_.g, G);                                                                        \
        EXPECT_EQ(c_.b, B);                                                                        \
    } while (0)

primrec lit(primrec p, double ka, double kd, double ks, colr col, int npow = 1)
{
    p.ka = ka;
    p.kd = kd;
    p.ks = ks;
    p.col = col;
    p.npow = npow;
    return p;
}

primrec glass(primrec p, double refr, double trans)
{
    p.surf = 3;
    p.refr = refr;
    p.trans = trans;
    return p;
}

// A plane z = h facing up that shows only its own colour.
primrec flat(double h, colr col) { return lit(prim(1, {0, 0, 1}, {0, 0, h}), 1, 0, 0, col); }

// A small box about c that shows only its own colour.
primrec marker_box(vec c, colr col) { return lit(prim(2, {0.5, 0.5, 0.5}, c), 1, 0, 0, col); }

} // namespace

TEST_F(Calc, MissesAndTheFarLimitAreBlack)
{
    EXPECT_COL(shade(sc, {0, 0, 0}, {0, 0, 1}), 0, 0, 0);
    add(sc, sphere(1, {5, 5, 5}));
    light(sc, {0, 0, 10});
    EXPECT_COL(shade(sc, {0, 0, 0}, {0, 0, 1}), 0, 0, 0);

    sc = scene{};
    add(sc, flat(0, {50, 60, 70}));
    EXPECT_COL(shade(sc, {0, 0, 99999}, {0, 0, -1}), 50, 60, 70);
    EXPECT_COL(shade(sc, {0, 0, 100000}, {0, 0, -1}), 0, 0, 0); // exactly 100000 away
    EXPECT_COL(shade(sc, {0, 0, 5e5}, {0, 0, -1}), 0, 0, 0);
}

// The shadow search has the same limit: a light 100000 units or more from
// the point it would light finds no blocking point there, and adds nothing.
TEST_F(Calc, AFarLightAddsNothing)
{
    add(sc, lit(prim(1, {0, 0, 1}), 0, 0.5, 0, {200, 101, 0}));
    light(sc, {0, 0, 99999});
    EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, -1}), 100, 50, 0);
    sc.lig[0].pos.z = 100000;
    EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, -1}), 0, 0, 0);
}

TEST_F(Calc, TiesGoToTheLowerIndex)
{
    add(sc, flat(0, {10, 0, 0}));
    add(sc, flat(0, {0, 20, 0}));
    EXPECT_COL(shade(sc, {1, 2, 3}, {0.5, 0, -1}), 10, 0, 0);

    sc = scene{};
    add(sc, flat(0, {0, 20, 0}));
    add(sc, flat(0, {10, 0, 0}));
    EXPECT_COL(shade(sc, {1, 2, 3}, {0.5, 0, -1}), 0, 20, 0);

    // a nearer primitive later in the table still wins
    sc = scene{};
    add(sc, flat(0, {10, 0, 0}));
    add(sc, flat(1, {0, 20, 0}));
    EXPECT_COL(shade(sc, {1, 2, 3}, {0.5, 0, -1}), 0, 20, 0);
}

TEST_F(Calc, DiffuseTruncatesAndIsTwoSided)
{
    add(sc, lit(prim(1, {0, 0, 1}), 0, 0.5, 0, {200, 101, 0}));
    light(sc, {0, 0, 10});
    EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, -1}), 100, 50, 0);

    sc = scene{};
    add(sc, lit(prim(1, {0, 0, 1}), 0, 0.5, 0, {200, 101, 0}));
    light(sc, {0, 0, -10});
    EXPECT_COL(shade(sc, {0, 0, -5}, {0, 0, 1}), 100, 50, 0);

    // light and viewer on opposite sides of a plane: still lit
    EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, -1}), 100, 50, 0);

    // bright and several lights add term by term, each truncated
    sc = scene{};
    add(sc, lit(prim(1, {0, 0, 1}), 0, 0.5, 0, {201, 101, 3}));
    light(sc, {0, 0, 10}, 0.5);
    light(sc, {0, 0, 20}, 0.5);
    EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, -1}), 100, 50, 0);
}

TEST_F(Calc, HighlightStraightAlongTheNormal)
{
    for (int npow : {0, 1, 2, 7, -3}) {
        sc = scene{};
        add(sc, lit(prim(1, {0, 0, 1}), 0, 0, 0.5, {0, 0, 0}, npow));
        light(sc, {0, 0, 10});
        SCOPED_TRACE(npow);
        EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, -1}), 127, 127, 127);
    }
}

TEST_F(Calc, AmbientAloneAndTotalsAboveWhite)
{
    add(sc, lit(prim(1, {0, 0, 1}), 2, 0, 0, {200, 100, 0}));
    EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, -1}), 400, 200, 0);

    // a strong highlight on a bright colour is not clamped here
    sc = scene{};
    add(sc, lit(prim(1, {0, 0, 1}), 1, 1, 1, {250, 250, 250}));
    light(sc, {0, 0, 10});
    colr c = shade(sc, {0, 0, 5}, {0, 0, -1});
    EXPECT_EQ(c.r, 250 + 250 + 255);
}

TEST_F(Calc, ShadowsAndTransparentObstacles)
{
    auto behind = [&](double t1, double t2, double kd, double ks) {
        sc = scene{};
        add(sc, lit(prim(1, {0, 0, 1}), 0, kd, ks, {100, 100, 100}, 1));
        add(sc, glass(lit(sphere(0.5, {-3, 0, 3}), 0, 0, 0, {0, 0, 0}), 1.5, t1));
        add(sc, glass(lit(sphere(0.5, {-6, 0, 6}), 0, 0, 0, {0, 0, 0}), 1.5, t2));
        light(sc, {-10, 0, 10});
        return shade(sc, {10, 0, 10}, {-1, 0, -1});
    };
    // diffuse: |cos| = 0.7071 of 100, times the product of the trans values
    EXPECT_COL(behind(1, 1, 1, 0), 70, 70, 70);
    EXPECT_COL(behind(0.5, 1, 1, 0), 35, 35, 35);
    EXPECT_COL(behind(0.5, 0.4, 1, 0), 14, 14, 14);
    // the highlight is dimmed the same way: 255 * 0.9 * 0.2 = 45.9
    EXPECT_COL(behind(1, 1, 0, 0.9), 229, 229, 229);
    EXPECT_COL(behind(0.5, 0.4, 0, 0.9), 45, 45, 45);

    // an opaque obstacle blocks the light
    sc = scene{};
    add(sc, lit(prim(1, {0, 0, 1}), 0.1, 1, 0, {100, 100, 100}));
    add(sc, sphere(0.5, {-3, 0, 3}));
    light(sc, {-10, 0, 10});
    EXPECT_COL(shade(sc, {10, 0, 10}, {-1, 0, -1}), 10, 10, 10);

    // an obstacle beyond the lit point, or behind the light, does not
    sc.pri[1].pos = vec{3, 0, -3};
    EXPECT_COL(shade(sc, {10, 0, 10}, {-1, 0, -1}), 80, 80, 80);
    sc.pri[1].pos = vec{-13, 0, 13};
    EXPECT_COL(shade(sc, {10, 0, 10}, {-1, 0, -1}), 80, 80, 80);
}

// The light reaches a transparent surface it falls on with its full
// strength: its own point seen from the light never dims it, whatever the
// last bit of rounding says.
TEST_F(Calc, AGlassSurfaceIsLitLikeAnOpaqueOne)
{
    auto grid = [&](int surf, colr *out) {
        sc = scene{};
        primrec s = lit(sphere(1.25, {0.1, -0.2, 0.3}), 0.1, 0.8, 0.5, {200, 150, 100}, 10);
        s = glass(s, 1.5, 0.5);
        s.surf = surf;
        add(sc, s);
        light(sc, {3, 4, 10});
        light(sc, {-6, 1, 2}, 0.7);
        int n = 0;
        for (int i = 0; i < 25; i++)
            for (int j = 0; j < 25; j++)
                out[n++] = shade(sc, {0, 0, 10}, {(i - 12) * 0.1, (j - 12) * 0.1, -10});
    };
    static colr g[625], o[625];
    grid(3, g);
    grid(1, o);
    int lit_dots = 0;
    for (int n = 0; n < 625; n++) {
        ASSERT_EQ(g[n].r, o[n].r) << "dot " << n;
        ASSERT_EQ(g[n].g, o[n].g) << "dot " << n;
        ASSERT_EQ(g[n].b, o[n].b) << "dot " << n;
        lit_dots += o[n].r > 20;
    }
    EXPECT_GT(lit_dots, 100);
}

TEST_F(Calc, ALightBehindTheHitPrimitiveAddsNothing)
{
    for (int surf : {1, 2, 3}) {
        sc = scene{};
        primrec s = glass(lit(sphere(1), 0.25, 1, 1, {100, 40, 8}), 1.5, 0.9);
        s.surf = surf;
        add(sc, s);
        light(sc, {0, 0, -10});
        SCOPED_TRACE(surf);
        EXPECT_COL(shade(sc, {0, 0, 10}, {0, 0, -1}), 25, 10, 2);
    }
}

TEST_F(Calc, MirrorDepth)
{
    primrec m = lit(prim(1, {0, 0, 1}), 0, 0, 0.5, {90, 90, 90});
    m.surf = 2;
    add(sc, m);
    add(sc, marker_box({5, 0, 5.2}, {111, 0, 7}));
    EXPECT_COL(shade(sc, {-5, 0, 5}, {1, 0, -1}, 0), 0, 0, 0); // depth 0: local only
    EXPECT_COL(shade(sc, {-5, 0, 5}, {1, 0, -1}, 1), 55, 0, 3);
    // a longer direction is the same ray
    EXPECT_COL(shade(sc, {-5, 0, 5}, {4, 0, -4}, 1), 55, 0, 3);
}

TEST_F(Calc, FresnelAtNormalIncidence)
{
    for (double ks : {0.0, 0.5}) {
        sc = scene{};
        primrec g = glass(lit(prim(1, {0, 0, 1}), 0, 0, ks, {0, 0, 0}), 1.5, 1);
        add(sc, g);
        add(sc, marker_box({0, 0, 10}, {110, 0, 0}));  // seen by the reflection
        add(sc, marker_box({0, 0, -10}, {0, 0, 110})); // straight on through the glass
        colr c = shade(sc, {0, 0, 5}, {0, 0, -1}, 1);
        SCOPED_TRACE(ks);
        // reflection weighted 0.04 + ks (4.4 or 59.4), refraction 0.96 (105.6)
        EXPECT_COL(c, ks == 0 ? 4 : 59, 0, 105);
        EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, -1}, 0), 0, 0, 0);
    }
}

TEST_F(Calc, TotalReflectionLeavingTheSolid)
{
    add(sc, glass(lit(prim(1, {0, 0, 1}), 0, 0, 0.25, {0, 0, 0}), 1.5, 1));
    add(sc, flat(-10, {110, 0, 0}));
    add(sc, flat(10, {0, 0, 110}));
    // upward at 60 degrees from the normal, leaving the solid z <= 0
    const double s = std::sqrt(3.0) / 2;
    colr c = shade(sc, {-s, 0, -1}, {s, 0, 0.5}, 1);
    EXPECT_COL(c, 137, 0, 0); // 110 * (1 + 0.25), and no refraction ray

    // at 30 degrees the light gets out
    c = shade(sc, {-0.5, 0, -1}, {0.5, 0, s}, 1);
    EXPECT_GT(c.b, 0);
    EXPECT_LT(c.r, 110);
}

TEST_F(Calc, DegenerateTermsStayDefined)
{
    // a box of sense 0 has no normal: ambient only
    sc = scene{};
    primrec b = lit(prim(2, {1, 1, 1}, {0, 0, 0}, 0), 0.5, 1, 1, {100, 60, 20});
    b.surf = 2;
    add(sc, b);
    light(sc, {0, 0, 10});
    EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, -1}, 3), 50, 30, 10);

    // refr 0, a light at the hit point, patw 0: the render goes on
    sc = scene{};
    primrec g = glass(lit(sphere(1), 0.5, 1, 1, {100, 60, 20}), 0, 0);
    g.pat = 1;
    g.patw = 0;
    add(sc, g);
    light(sc, {0, 0, 1});
    light(sc, {0, 0, 10});
    colr c = shade(sc, {0, 0, 5}, {0, 0, -1}, 4);
    EXPECT_GE(c.r, 50);
    EXPECT_LE(c.r, 100000);

    // a zero direction hits nothing
    EXPECT_COL(shade(sc, {0, 0, 5}, {0, 0, 0}, 4), 0, 0, 0);
}

TEST_F(Refl, NormalsBySenseAndFace)
{
    vec n;
    primrec pl = prim(1, {1, 2, 3});
    refl(n, {9, 9, 9}, pl);
    EXPECT_EQ(n.x, 1);
    EXPECT_EQ(n.z, 3);
    pl.sense = 0;
    refl(n, {9, 9, 9}, pl);
    EXPECT_EQ(n.x, -1);
    EXPECT_EQ(n.z, -3);

    primrec bx = prim(2, {1, 2, 3}, {1, 1, 1});
    struct {
        vec pt;
        double x, y, z;
    } faces[] = {
        {{2, 1.5, 1}, 1, 0, 0},   {{0, 1.5, 1}, -1, 0, 0},  {{1.5, 3, 1}, 0, 1, 0},
        {{1.5, -1, 1}, 0, -1, 0}, {{1.5, 1.5, 4}, 0, 0, 1}, {{1.5, 1.5, -2}, 0, 0, -1},
        {{2, 3, 4}, 1, 0, 0},     {{1.5, 3, -2}, 0, 1, 0}, // x faces first, then y
    };
    for (auto &f : faces) {
        refl(n, f.pt, bx);
        EXPECT_EQ(n.x, f.x);
        EXPECT_EQ(n.y, f.y);
        EXPECT_EQ(n.z, f.z);
    }
    bx.sense = -1;
    refl(n, {2, 1.5, 1}, bx);
    EXPECT_EQ(n.x, -1);
    bx.sense = 2; // the value itself multiplies
    refl(n, {1.5, -1, 1}, bx);
    EXPECT_EQ(n.y, -2);

    primrec q = prim(3, {0.25, 1, -1}, {1, 0, 0});
    refl(n, {3, 1, 2}, q);
    EXPECT_EQ(n.x, 0.5);
    EXPECT_EQ(n.y, 1);
    EXPECT_EQ(n.z, -2);
    q.sense = -1;
    refl(n, {3, 1, 2}, q);
    EXPECT_EQ(n.x, -0.5);
    EXPECT_EQ(n.y, -1);
    EXPECT_EQ(n.z, 2);

    n = vec{7, 8, 9};
    refl(n, {0, 0, 0}, prim(6, {1, 1, 1}));
    EXPECT_EQ(n.x, 7);
    EXPECT_EQ(n.z, 9);
}

TEST_F(GetColor, PatternsAndTheAlternateColour)
{
    colr c;
    primrec p = prim(1, {0, 0, 1});
    p.col = colr{200, 100, 51};
    p.patw = 1;

    p.pat = 1; // checker on x and y
    EXPECT_COL(get_color(c, {0.5, 0.5, 7}, p), 200, 100, 51);
    EXPECT_COL(get_color(c, {1.5, 0.5, 7}, p), 255, 50, 25);
    EXPECT_COL(get_color(c, {1.5, 1.5, 7}, p), 200, 100, 51);
    EXPECT_COL(get_color(c, {-0.5, 0.5, 7}, p), 255, 50, 25);

    p.pat = 2; // stripes across y
    EXPECT_COL(get_color(c, {99, 0.5, 99}, p), 200, 100, 51);
    EXPECT_COL(get_color(c, {0, 1.5, 0}, p), 255, 50, 25);
    EXPECT_COL(get_color(c, {0, -0.5, 0}, p), 255, 50, 25);
    // beyond -10000 cells truncation rounds toward zero: one cell is two wide
    EXPECT_COL(get_color(c, {0, -9999.5, 0}, p), 200, 100, 51);
    EXPECT_COL(get_color(c, {0, -10000.5, 0}, p), 200, 100, 51);
    EXPECT_COL(get_color(c, {0, -10001.5, 0}, p), 255, 50, 25);
    p.patw = 2;
    EXPECT_COL(get_color(c, {0, 3, 0}, p), 255, 50, 25);

    p.pat = 3; // diagonal stripes on (x + y + z) / 3
    p.patw = 1;
    EXPECT_COL(get_color(c, {1.2, 1.2, 1.2}, p), 255, 50, 25);
    EXPECT_COL(get_color(c, {0.3, 0.3, 0.3}, p), 200, 100, 51);
    p.patw = 0.5;
    EXPECT_COL(get_color(c, {0.6, 0.6, 0.6}, p), 255, 50, 25);

    p.pat = 1;
    p.patw = 1;
    p.col = colr{100, 100, 100};
    EXPECT_COL(get_color(c, {1.5, 0.5, 0}, p), 228, 50, 50);
    p.col = colr{126, -3, 7};
    EXPECT_COL(get_color(c, {1.5, 0.5, 0}, p), 254, -1, 3);

    // no pattern, an unknown one, or a zero width: the base colour
    p.col = colr{1, 2, 3};
    for (int pat : {0, 4, -1, 99}) {
        p.pat = pat;
        EXPECT_COL(get_color(c, {1.5, 0.5, 0}, p), 1, 2, 3);
    }
    p.pat = 2;
    p.patw = 0;
    EXPECT_COL(get_color(c, {1.5, 0.5, 0}, p), 1, 2, 3);
}
