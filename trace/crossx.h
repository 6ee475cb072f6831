// crossx.h - crossp's arithmetic for one primitive, inline, for the loops
// that run it millions of times (crossp.h describes the interface).
#pragma once

#include "crossp.h"

// The per-type tests are forced inline: the search loops call them for
// millions of rays, and an out-of-line call costs more than the test.
#define KORU_INLINE __attribute__((always_inline)) inline

// Accepts the points of a primitive without partners at once. checkin
// gets a copy, so that x, whose address it would take, can stay in
// registers.
inline int checkin_inline(vec &x, const primrec &p, const primrec *tab)
{
    if (p.nmem <= 0)
        return 1;
    vec y = x;
    if (checkin(y, p, tab))
        return 1;
    x = nohit();
    return 0;
}

namespace crossx_detail {

// Component a (0 x, 1 y, 2 z) of v.
inline double comp(const vec &v, int a) { return a == 0 ? v.x : a == 1 ? v.y : v.z; }

KORU_INLINE vec &plane_hit(vec &r, const vec &o, const vec &d, const primrec &p, const xconst &k,
                           const primrec *tab)
{
    double nd = vspro(p.geom, d);
    if (nd == 0)
        return r = nohit();
    double t = k.wn / nd;
    if (t > HIT_EPS) {
        vec td;
        vadd(r, o, vmul(td, d, t));
        checkin_inline(r, p, tab);
    } else {
        r = nohit();
    }
    return r;
}

// One box face: t and its candidate Q = P + t*D relative to the centre, u
// and v the two other axes. The face is taken when t beats best (face 1,
// first = true, is not compared) and Q lies on the face.
inline void box_face(vec &r, double &best, const vec &o, const vec &d, const vec &pp, double t,
                     double qu_lim, int u, double qv_lim, int v, bool first, const primrec &p,
                     const primrec *tab)
{
    if (!(t > HIT_EPS))
        return;
    if (!first && !(t < best))
        return;
    double qu = comp(pp, u) + t * comp(d, u);
    if (!(-qu_lim <= qu && qu <= qu_lim))
        return;
    double qv = comp(pp, v) + t * comp(d, v);
    if (!(-qv_lim <= qv && qv <= qv_lim))
        return;
    vec x, td;
    vadd(x, o, vmul(td, d, t));
    if (!checkin_inline(x, p, tab))
        return;
    r = x;
    best = t;
}

inline vec &box_hit(vec &r, const vec &o, const vec &d, const primrec &p, const xconst &k,
                    const primrec *tab)
{
    const double hx = p.geom.x, hy = p.geom.y, hz = p.geom.z;
    double best = FAR;
    const vec &pp = k.pp;
    if (d.x != 0) {
        if (k.tryface[0])
            box_face(r, best, o, d, pp, k.num[0] / d.x, hy, 1, hz, 2, true, p, tab);
        if (k.tryface[1])
            box_face(r, best, o, d, pp, k.num[1] / d.x, hy, 1, hz, 2, false, p, tab);
    }
    if (d.y != 0) {
        if (k.tryface[2])
            box_face(r, best, o, d, pp, k.num[2] / d.y, hx, 0, hz, 2, false, p, tab);
        if (k.tryface[3])
            box_face(r, best, o, d, pp, k.num[3] / d.y, hx, 0, hz, 2, false, p, tab);
    }
    if (d.z != 0) {
        if (k.tryface[4])
            box_face(r, best, o, d, pp, k.num[4] / d.z, hy, 1, hx, 0, false, p, tab);
        if (k.tryface[5])
            box_face(r, best, o, d, pp, k.num[5] / d.z, hy, 1, hx, 0, false, p, tab);
    }
    if (best == FAR)
        r = nohit();
    return r;
}

KORU_INLINE vec &quad_hit(vec &r, const vec &o, const vec &d, const primrec &p, const xconst &k,
                          const primrec *tab)
{
    const vec &g = p.geom;
    double a = g.x * times2(d.x) + g.y * times2(d.y) + g.z * times2(d.z);
    double b = k.kp.x * d.x + k.kp.y * d.y + k.kp.z * d.z;
    double disc = times2(b) - a * k.c;
    if (!(disc >= 0) || a == 0)
        return r = nohit();
    double s = std::sqrt(disc);
    vec td;
    double t1 = (-b - s) / a;
    if (t1 > HIT_EPS) {
        vadd(r, o, vmul(td, d, t1));
        if (checkin_inline(r, p, tab))
            return r;
    }
    double t2 = (-b + s) / a;
    if (t2 > HIT_EPS) {
        vadd(r, o, vmul(td, d, t2));
        checkin_inline(r, p, tab);
    } else {
        r = nohit();
    }
    return r;
}

} // namespace crossx_detail

// xprep's arithmetic, inline.
KORU_INLINE void xprep_inline(xconst &k, const vec &o, const primrec &p)
{
    const vec &g = p.geom;
    switch (p.type) {
    case PRIM_PLANE: {
        vec w;
        vsub(w, p.pos, o);
        k.wn = vspro(w, g);
        break;
    }
    case PRIM_BOX: {
        const vec &pp = vsub(k.pp, o, p.pos);
        k.tryface[0] = pp.x > -g.x;
        k.tryface[1] = pp.x < g.x;
        k.tryface[2] = pp.y > -g.y;
        k.tryface[3] = pp.y < g.y;
        k.tryface[4] = pp.z > -g.z;
        k.tryface[5] = pp.z < g.z;
        k.num[0] = g.x - pp.x;
        k.num[1] = -pp.x - g.x;
        k.num[2] = g.y - pp.y;
        k.num[3] = -pp.y - g.y;
        k.num[4] = g.z - pp.z;
        k.num[5] = -pp.z - g.z;
        break;
    }
    case PRIM_QUADRIC:
    case PRIM_CONE: {
        vec pp;
        vsub(pp, o, p.pos);
        k.kp = vec{g.x * pp.x, g.y * pp.y, g.z * pp.z};
        k.c = g.x * times2(pp.x) + g.y * times2(pp.y) + g.z * times2(pp.z) -
              (p.type == PRIM_QUADRIC ? 1.0 : 0.0);
        break;
    }
    default:
        break;
    }
}

KORU_INLINE vec &crossx_inline(vec &r, const vec &o, const vec &d, const primrec &p,
                               const xconst &k, const primrec *tab)
{
    switch (p.type) {
    case PRIM_PLANE:
        return crossx_detail::plane_hit(r, o, d, p, k, tab);
    case PRIM_BOX:
        return crossx_detail::box_hit(r, o, d, p, k, tab);
    case PRIM_QUADRIC:
    case PRIM_CONE:
        return crossx_detail::quad_hit(r, o, d, p, k, tab);
    default:
        return r;
    }
}

// crossp, inline: the origin's constants worked out for this one ray.
KORU_INLINE vec &crossp_inline(vec &r, const vec &o, const vec &d, const primrec &p,
                               const primrec *tab)
{
    xconst k;
    xprep_inline(k, o, p);
    return crossx_inline(r, o, d, p, k, tab);
}
