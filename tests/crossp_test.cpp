// Ray-primitive intersection and group (CSG) acceptance.
#include "testscene.h"
#include "trace/crossp.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

// Where a ray meets p, whose partners are in tab; a primitive with none is
// a table of its own.
vec hit(const primrec &p, vec o, vec d, const primrec *tab = nullptr)
{
    vec r{-1, -2, -3};
    crossp(r, o, d, p, tab ? tab : &p);
    return r;
}

bool is_marker(const vec &v) { return v.x == FAR && v.y == FAR && v.z == FAR; }

#define EXPECT_VEC(v, X, Y, Z)                                                                     \
    do {                                                                                           \
        vec v_ = (v);                                                                              \
        EXPECT_EQ(v_.x, X);                                                                        \
        EXPECT_EQ(v_.y, Y);                                                                        \
        EXPECT_EQ(v_.z, Z);                                                                        \
    } while (0)

#define EXPECT_NEAR4(v, X, Y, Z)                                                                   \
    do {                                                                                           \
        vec v_ = (v);                                                                              \
        EXPECT_NEAR(v_.x, X, 5e-5);                                                                \
        EXPECT_NEAR(v_.y, Y, 5e-5);                                                                \
        EXPECT_NEAR(v_.z, Z, 5e-5);                                                                \
    } while (0)

#define EXPECT_MISS(v) EXPECT_TRUE(is_marker(v))

const primrec unit_sphere = prim(3, vec{1, 1, 1});
const primrec unit_box = prim(2, vec{1, 1, 1});
const primrec floor_plane = prim(1, vec{0, 1, 0});

} // namespace

TEST(Crossp, Sphere)
{
    EXPECT_VEC(hit(unit_sphere, {0, 0, -10}, {0, 0, 1}), 0, 0, -1);
    EXPECT_VEC(hit(unit_sphere, {0, 0, -10}, {0, 0, 2}), 0, 0, -1); // D's length is no matter
    EXPECT_VEC(hit(unit_sphere, {0, 0, 0}, {0, 0, 1}), 0, 0, 1);    // from the centre: the exit
    EXPECT_VEC(hit(unit_sphere, {0, 0, -1}, {0, 0, 1}), 0, 0, 1);   // t1 = 0 is no hit
    EXPECT_MISS(hit(unit_sphere, {0, 2, -10}, {0, 0, 1}));
    EXPECT_VEC(hit(unit_sphere, {0, 1, -10}, {0, 0, 1}), 0, 1, 0); // grazing, disc = 0
    EXPECT_MISS(hit(unit_sphere, {0, 0, 5}, {0, 0, 1}));           // both roots behind
    EXPECT_VEC(hit(sphere(2, {1, 1, 1}), {1, 1, -10}, {0, 0, 1}), 1, 1, -1);
}

TEST(Crossp, Plane)
{
    EXPECT_VEC(hit(floor_plane, {0, 5, 0}, {0, -1, 0}), 0, 0, 0);
    EXPECT_MISS(hit(floor_plane, {0, 5, 0}, {0, 1, 0}));
    EXPECT_VEC(hit(floor_plane, {0, -5, 0}, {0, 1, 0}), 0, 0, 0); // from behind as well
    EXPECT_VEC(hit(prim(1, {0, 2, 0}, {0, 0, 0}, -1), {3, -5, 0}, {0, 1, 0}), 3, 0, 0);
    EXPECT_MISS(hit(floor_plane, {0, 5, 0}, {1, 0, 0})); // parallel: a miss
    EXPECT_MISS(hit(floor_plane, {0, 0, 0}, {0, 1, 1})); // from the plane itself
}

TEST(Crossp, Box)
{
    EXPECT_VEC(hit(unit_box, {5, 0, 0}, {-1, 0.125, 0.125}), 1, 0.5, 0.5);
    EXPECT_VEC(hit(unit_box, {0, 0, 0}, {1, 0.5, 0.25}), 1, 0.5, 0.25);
    // an edge: face 1 at t = 4, and face 3 with the same t does not replace it
    EXPECT_VEC(hit(unit_box, {5, 1.5, 0.5}, {-1, -0.125, -0.125}), 1, 1, 0);
    // near faces of the other axes; the far face from outside is not tried
    EXPECT_VEC(hit(unit_box, {0, 0, 7}, {0, 0, -1}), 0, 0, 1);
    EXPECT_VEC(hit(unit_box, {0.5, -3, 0}, {0, 1, 0}), 0.5, -1, 0);
    EXPECT_VEC(hit(unit_box, {0, 0, -3}, {0.25, 0, 1}), 0.5, 0, -1);
    // a direction with no component on an axis never divides by it
    EXPECT_MISS(hit(unit_box, {5, 3, 0}, {-1, 0, 0}));
    EXPECT_MISS(hit(unit_box, {5, 0, 0}, {1, 0, 0}));
    EXPECT_VEC(hit(prim(2, {1, 2, 3}, {10, 10, 10}), {10, 10, 10}, {0, 1, 0}), 10, 12, 10);
}

TEST(Crossp, QuadricRootsInOrder)
{
    // a < 0: t1 is the farther root and is returned when accepted
    primrec hyp = prim(3, vec{1, 1, -1});
    vec r = hit(hyp, {2, 0, -10}, {0, 0, 1});
    EXPECT_EQ(r.x, 2);
    EXPECT_EQ(r.y, 0);
    EXPECT_DOUBLE_EQ(r.z, std::sqrt(3.0));

    // a cylinder of radius 1 along z: a ray along its axis (a = 0) misses
    primrec cyl = prim(3, vec{1, 1, 0});
    EXPECT_MISS(hit(cyl, {0.5, 0, -10}, {0, 0, 1}));
    EXPECT_VEC(hit(cyl, {-5, 0, 123}, {1, 0, 0}), -1, 0, 123);

    // the double cone X^2 + Y^2 = Z^2 along -z: a < 0, so the far nappe's
    // point comes first
    primrec cone = prim(4, vec{1, 1, -1});
    EXPECT_VEC(hit(cone, {0, 3, 10}, {0, 0, -1}), 0, 3, -3);
    EXPECT_MISS(hit(cone, {0, 3, 0}, {0, 1, 1})); // along an asymptote: a = 0
}

TEST(Crossp, UnknownTypeLeavesTheResultAlone)
{
    for (int type : {0, 5, -1}) {
        vec r = hit(prim(type, {1, 1, 1}), {0, 0, -10}, {0, 0, 1});
        EXPECT_VEC(r, -1, -2, -3);
        EXPECT_EQ(inside(vec{0, 0, 0}, prim(type, {1, 1, 1})), 0);
        EXPECT_EQ(inside(vec{0, 0, 0}, prim(type, {1, 1, 1}, {0, 0, 0}, -1)), 0);
    }
}

TEST(Inside, SolidsComplementsAndBoundaries)
{
    struct {
        primrec p;
        vec in, out, on;
    } cases[] = {
        {prim(1, {0, 0, 2}, {0, 0, 1}), {5, 5, 0}, {5, 5, 2}, {7, -3, 1}},
        {prim(2, {1, 2, 3}, {1, 1, 1}), {1.5, 2.5, 3.5}, {2.5, 1, 1}, {2, 3, 4}},
        {prim(3, {0.25, 1, 1}), {1.9, 0, 0}, {0, 1.5, 0}, {0, 0, -1}},
        {prim(4, {1, 1, -1}), {0, 1, 2}, {2, 0, 1}, {3, 4, 5}},
    };
    for (auto &c : cases) {
        primrec solid = c.p, comp = c.p;
        comp.sense = -1;
        SCOPED_TRACE(c.p.type);
        EXPECT_EQ(inside(c.in, solid), 1);
        EXPECT_EQ(inside(c.out, solid), 0);
        EXPECT_EQ(inside(c.in, comp), 0);
        EXPECT_EQ(inside(c.out, comp), 1);
        // the surface belongs to both
        EXPECT_EQ(inside(c.on, solid), 1);
        EXPECT_EQ(inside(c.on, comp), 1);
        comp.sense = 0; // zero means the complement too
        EXPECT_EQ(inside(c.out, comp), 1);
        EXPECT_EQ(inside(c.in, comp), 0);
    }
}

TEST(Checkin, PartnersDecide)
{
    scene sc;
    add(sc, unit_sphere);
    add(sc, prim(2, {1, 1, 1}, {1, 0, 0}, -1));
    group(sc, {0, 1});

    vec x{-0.5, 0, 0};
    EXPECT_EQ(checkin(x, sc.pri[0], sc.pri), 1); // outside the cutting box
    EXPECT_EQ(x.x, -0.5);
    x = vec{0.5, 0, 0};
    EXPECT_EQ(checkin(x, sc.pri[0], sc.pri), 0);
    EXPECT_TRUE(is_marker(x));
    x = vec{0, 0.3, 0}; // on the box's face: accepted whatever the sense
    EXPECT_EQ(checkin(x, sc.pri[0], sc.pri), 1);
    sc.pri[1].sense = 1;
    EXPECT_EQ(checkin(x, sc.pri[0], sc.pri), 1);
    // the marker passes; so does anything on a primitive without partners
    x = nohit();
    EXPECT_EQ(checkin(x, sc.pri[0], sc.pri), 1);
    EXPECT_TRUE(is_marker(x));
    x = vec{9, 9, 9};
    EXPECT_EQ(checkin(x, unit_sphere, &unit_sphere), 1);
}

// A unit sphere with the half x >= 0 cut away by a box of sense -1.
TEST(Crossp, TwoMemberGroup)
{
    scene sc;
    add(sc, unit_sphere);
    add(sc, prim(2, {1, 1, 1}, {1, 0, 0}, -1));
    group(sc, {0, 1});

    vec o{5, 0.25, 0.125}, d{-1, 0.0625, 0.03125};
    EXPECT_NEAR4(hit(sc.pri[0], o, d, sc.pri), -0.7331, 0.6083, 0.3042);
    EXPECT_MISS(hit(sc.pri[1], o, d, sc.pri));

    o = vec{-5, 0.25, 0.125};
    d = vec{1, 0.0625, 0.03125};
    EXPECT_NEAR4(hit(sc.pri[0], o, d, sc.pri), -0.8206, 0.5112, 0.2556);
    EXPECT_VEC(hit(sc.pri[1], o, d, sc.pri), 0, 0.5625, 0.28125);

    // from outside only the near face of an axis is tried: a box whose near
    // x face is cut away is not hit through its far x face
    sc = scene{};
    add(sc, prim(2, {1, 1, 1}));
    add(sc, prim(1, {1, 0, 0}, {-0.5, 0, 0}, -1)); // keeps x >= -0.5
    group(sc, {0, 1});
    EXPECT_MISS(hit(sc.pri[0], {-5, 0, 0}, {1, 0, 0}, sc.pri));

    // a ray from above inside the x slab: exit face 1 at t = 5, entry face 5
    // at t = 4; a face rejected by a partner does not end the search
    const vec o2{0, 0, 5}, d2{0.2, 0, -1};
    EXPECT_NEAR4(hit(prim(2, {1, 1, 1}), o2, d2), 0.8, 0, 1);
    sc.pri[1] = prim(1, {1, 0, 0}, {0.9, 0, 0}); // keeps x <= 0.9: the exit is cut
    EXPECT_NEAR4(hit(sc.pri[0], o2, d2, sc.pri), 0.8, 0, 1);
    sc.pri[1] = prim(1, {0, 0, 1}, {0, 0, 0.5}); // keeps z <= 0.5: the entry is cut
    EXPECT_NEAR4(hit(sc.pri[0], o2, d2, sc.pri), 1, 0, 0);
}

// Properties over many rays: every hit lies on the surface, and a ray fired
// from a hit point never finds that point again.
namespace {

double surface_error(const primrec &p, const vec &x)
{
    vec v;
    vsub(v, x, p.pos);
    const vec &g = p.geom;
    switch (p.type) {
    case 1:
        return std::fabs(vspro(v, g)) / vlength(g);
    case 2: {
        double e = 1e300;
        const double *a = &v.x, *h = &g.x;
        for (int i = 0; i < 3; i++) {
            double face = std::fabs(std::fabs(a[i]) - h[i]);
            bool on = true;
            for (int j = 0; j < 3; j++)
                if (j != i && std::fabs(a[j]) > h[j] + 1e-12)
                    on = false;
            if (on && face < e)
                e = face;
        }
        return e;
    }
    default:
        return std::fabs(g.x * v.x * v.x + g.y * v.y * v.y + g.z * v.z * v.z -
                         (p.type == 3 ? 1 : 0));
    }
}

} // namespace

TEST(Crossp, HitsLieOnTheSurfaceAndAreNotFoundAgain)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1, 1);
    const primrec shapes[] = {
        sphere(1.5, {0.25, -0.5, 0.125}),      prim(3, {0.25, 1, 0.5}, {1, 2, 3}),
        prim(2, {1, 0.5, 2}, {-1, 0.25, 0.5}), prim(1, {0.3, -1, 0.7}, {0.5, 0.5, 0.5}),
        prim(1, {0, 0, 1}, {0, 0, -2}),
    };
    int hits = 0;
    for (const primrec &p : shapes) {
        for (int n = 0; n < 2000; n++) {
            vec o{u(rng) * 8, u(rng) * 8, u(rng) * 8}, aim{u(rng), u(rng), u(rng)}, d;
            vadd(aim, aim, p.pos);
            vsub(d, aim, o);
            vec h = hit(p, o, d);
            if (is_marker(h))
                continue;
            hits++;
            ASSERT_LT(surface_error(p, h), 1e-9) << "type " << p.type << " n " << n;
            // a second ray from h, away from the surface or through it
            vec d2{u(rng), u(rng), u(rng)};
            vec h2 = hit(p, h, d2);
            if (is_marker(h2))
                continue;
            vec gap;
            EXPECT_GT(vlength(vsub(gap, h2, h)), 1e-6) << "type " << p.type << " n " << n;
        }
    }
    EXPECT_GT(hits, 3000);
}
