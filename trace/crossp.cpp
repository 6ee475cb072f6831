#include "crossp.h"

namespace {

vec &plane_hit(vec &r, const vec &o, const vec &d, const primrec &p)
{
    const vec &n = p.geom;
    vec w;
    vsub(w, p.pos, o);
    double nd = vspro(n, d);
    if (nd == 0)
        return r = nohit();
    double t = vspro(w, n) / nd;
    if (t > HIT_EPS) {
        vec td;
        vadd(r, o, vmul(td, d, t));
        checkin(r, p);
    } else {
        r = nohit();
    }
    return r;
}

// One box face: t and its candidate Q = P + t*D relative to the centre, u
// and v the two other axes. The face is taken when t beats best (face 1,
// first = true, is not compared) and Q lies on the face.
void box_face(vec &r, double &best, const vec &o, const vec &d, const vec &pp, double t,
              double qu_lim, int u, double qv_lim, int v, bool first, const primrec &p)
{
    if (!(t > HIT_EPS))
        return;
    if (!first && !(t < best))
        return;
    const double *P = &pp.x, *D = &d.x;
    double qu = P[u] + t * D[u];
    if (!(-qu_lim <= qu && qu <= qu_lim))
        return;
    double qv = P[v] + t * D[v];
    if (!(-qv_lim <= qv && qv <= qv_lim))
        return;
    vec x, td;
    vadd(x, o, vmul(td, d, t));
    if (!checkin(x, p))
        return;
    r = x;
    best = t;
}

vec &box_hit(vec &r, const vec &o, const vec &d, const primrec &p)
{
    double hx = p.geom.x, hy = p.geom.y, hz = p.geom.z;
    double best = FAR;
    vec pp;
    vsub(pp, o, p.pos);
    if (d.x != 0) {
        if (pp.x > -hx)
            box_face(r, best, o, d, pp, (hx - pp.x) / d.x, hy, 1, hz, 2, true, p);
        if (pp.x < hx)
            box_face(r, best, o, d, pp, (-pp.x - hx) / d.x, hy, 1, hz, 2, false, p);
    }
    if (d.y != 0) {
        if (pp.y > -hy)
            box_face(r, best, o, d, pp, (hy - pp.y) / d.y, hx, 0, hz, 2, false, p);
        if (pp.y < hy)
            box_face(r, best, o, d, pp, (-pp.y - hy) / d.y, hx, 0, hz, 2, false, p);
    }
    if (d.z != 0) {
        if (pp.z > -hz)
            box_face(r, best, o, d, pp, (hz - pp.z) / d.z, hy, 1, hx, 0, false, p);
        if (pp.z < hz)
            box_face(r, best, o, d, pp, (-pp.z - hz) / d.z, hy, 1, hx, 0, false, p);
    }
    if (best == FAR)
        r = nohit();
    return r;
}

vec &quad_hit(vec &r, const vec &o, const vec &d, const primrec &p, double k)
{
    const vec &g = p.geom;
    vec pp;
    vsub(pp, o, p.pos);
    double a = g.x * times2(d.x) + g.y * times2(d.y) + g.z * times2(d.z);
    double b = g.x * pp.x * d.x + g.y * pp.y * d.y + g.z * pp.z * d.z;
    double c = g.x * times2(pp.x) + g.y * times2(pp.y) + g.z * times2(pp.z) - k;
    double disc = times2(b) - a * c;
    if (!(disc >= 0) || a == 0)
        return r = nohit();
    double s = std::sqrt(disc);
    vec td;
    double t1 = (-b - s) / a;
    if (t1 > HIT_EPS) {
        vadd(r, o, vmul(td, d, t1));
        if (checkin(r, p))
            return r;
    }
    double t2 = (-b + s) / a;
    if (t2 > HIT_EPS) {
        vadd(r, o, vmul(td, d, t2));
        checkin(r, p);
    } else {
        r = nohit();
    }
    return r;
}

} // namespace

vec &crossp(vec &r, const vec &o, const vec &d, const primrec &p)
{
    switch (p.type) {
    case 1:
        return plane_hit(r, o, d, p);
    case 2:
        return box_hit(r, o, d, p);
    case 3:
        return quad_hit(r, o, d, p, 1.0);
    case 4:
        return quad_hit(r, o, d, p, 0.0);
    default:
        return r;
    }
}

int checkin(vec &x, const primrec &p)
{
    if (x.x >= FAR)
        return 1;
    if (p.nmem <= 0)
        return 1;
    for (int i = 0; i < p.nmem; i++) {
        if (!inside(x, pri[p.mem[i]])) {
            x = nohit();
            return 0;
        }
    }
    return 1;
}

int inside(const vec &x, const primrec &p)
{
    vec v;
    vsub(v, x, p.pos);
    const vec &g = p.geom;
    bool solid = p.sense > 0;
    switch (p.type) {
    case 1: {
        double s = vspro(v, g);
        return solid ? s <= 0 : s >= 0;
    }
    case 2:
        if (solid)
            return -g.x <= v.x && v.x <= g.x && -g.y <= v.y && v.y <= g.y && -g.z <= v.z &&
                   v.z <= g.z;
        return v.x <= -g.x || v.x >= g.x || v.y <= -g.y || v.y >= g.y || v.z <= -g.z ||
               v.z >= g.z;
    case 3:
    case 4: {
        double k = p.type == 3 ? 1.0 : 0.0;
        double q = g.x * times2(v.x) + g.y * times2(v.y) + g.z * times2(v.z);
        return solid ? q <= k : q >= k;
    }
    default:
        return 0;
    }
}
