// randscene.h - random scenes for the tests that compare the tracers.
//
//   rng_t r(seed);                 numbers: r.u(a, b), r.pick(n), r.v(s)
//   random_scene(sc, r, s, nprim, nlight)   sc becomes a scene of every kind
//                                        of primitive, scaled by s
//   hostile_optics(sc, r)          then gives the scene's primitives and
//                                        lights optics at the edges of the
//                                        shading's shortcuts
//   filed_axes(sc)                 moves each quadric's and cone's
//                                        coefficients to ones a file gives
#pragma once

#include "testscene.h"

#include <cmath>
#include <random>

struct rng_t {
    std::mt19937 g;
    explicit rng_t(unsigned seed) : g(seed) {}
    double u(double a, double b) { return std::uniform_real_distribution<double>(a, b)(g); }
    int pick(int n) { return (int)(g() % (unsigned)n); }
    vec v(double s) { return vec{u(-s, s), u(-s, s), u(-s, s)}; }
};

// A scene of every kind of primitive, scaled by s: bounded and unbounded
// quadrics, cones of both kinds, boxes, planes, groups cut by complements,
// mirrors and glass.
inline void random_scene(scene &sc, rng_t &r, double s, int nprim, int nlight)
{
    sc = scene{};
    for (int i = 0; i < nprim; i++) {
        const int type = 1 + r.pick(4);
        primrec p = prim(type, {0, 0, 1}, r.v(3 * s));
        auto coef = [&](double semi) { return 1 / (semi * semi * s * s); };
        if (type == 1)
            p.geom = r.pick(2) ? vec{0, 0, 1} : r.v(1);
        else if (type == 2)
            p.geom = vec{s * r.u(0.2, 1.5), s * r.u(0.2, 1.5), s * r.u(0.2, 1.5)};
        else
            p.geom = vec{coef(r.u(0.3, 1.5)), r.pick(5) ? coef(r.u(0.3, 1.5)) : 0.0,
                         (r.pick(3) ? 1 : -1) * coef(r.u(0.3, 1.5))};
        p.surf = 1 + r.pick(3);
        p.sense = r.pick(4) ? 1 : -1;
        p.ka = 0.2, p.kd = r.pick(5) ? 0.6 : 0.0, p.ks = r.pick(4) ? 0.5 : 0.0;
        p.npow = r.pick(40);
        p.refr = r.u(1.1, 1.9), p.trans = r.u(0.1, 0.9);
        p.pat = r.pick(4), p.patw = 0.4 * s;
        p.col = colr{r.pick(256), r.pick(256), r.pick(256)};
        add(sc, p);
    }
    for (int g = 0; g + 2 < nprim && g < 6; g += 3)
        if (r.pick(2))
            group(sc, {g, g + 1, g + 2});
    for (int j = 0; j < nlight; j++)
        light(sc, r.v(8 * s), r.u(0.3, 1));
    sc.ilvlmx = 3;
}

// Dim lights and faint highlights, whose terms sit near one unit of a
// channel; exponents of 0 and below; trans above 1 (a product of trans
// above 1), below 0 and 0; negative and huge coefficients and colours.
inline void hostile_optics(scene &sc, rng_t &r)
{
    for (int i = 0; i < sc.primmx; i++) {
        primrec &p = sc.pri[i];
        const int e = r.pick(8);
        p.npow = e == 0 ? -r.pick(3) : e == 1 ? 1 + r.pick(2) : 1 + r.pick(200);
        p.ks = r.pick(3) ? r.u(0, 1) : r.pick(2) ? 0.0 : r.u(-2, 40);
        p.kd = r.pick(4) ? r.u(0, 1) : r.pick(2) ? 0.0 : r.u(-2, 40);
        if (r.pick(4) == 0)
            p.col = colr{r.pick(2000) - 500, r.pick(300), r.pick(3)};
        if (p.surf == SURF_GLASS) {
            const int t = r.pick(5);
            p.trans = t == 0 ? r.u(1, 3) : t == 1 ? r.u(-1.5, 0) : t == 2 ? 0.0 : r.u(0, 1);
        }
    }
    for (int j = 0; j < sc.nlg; j++) {
        const int b = r.pick(6);
        sc.lig[j].bright = b < 3 ? r.u(0, 0.02) : b == 3 ? -r.u(0, 0.3) : b == 4 ? 0.0 : r.u(0, 3);
    }
}

// Each coefficient of the quadrics and cones becomes the one its nearest
// semi-axis gives, as a file read would make it (not every double is one).
inline void filed_axes(scene &sc)
{
    auto filed = [](double &k) {
        if (k != 0)
            k = axis_coef(std::copysign(1 / std::sqrt(std::fabs(k)), k));
    };
    for (int i = 0; i < sc.primmx; i++)
        if (sc.pri[i].type == PRIM_QUADRIC || sc.pri[i].type == PRIM_CONE)
            filed(sc.pri[i].geom.x), filed(sc.pri[i].geom.y), filed(sc.pri[i].geom.z);
}
