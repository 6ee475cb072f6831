#include "crossp.h"

namespace {

vec &plane_hit(vec &r, const vec &o, const vec &d, const primrec &p, const xconst &k)
{
    double nd = vspro(p.geom, d);
    if (nd == 0)
        return r = nohit();
    double t = k.wn / nd;
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

vec &box_hit(vec &r, const vec &o, const vec &d, const primrec &p, const xconst &k)
{
    const double hx = p.geom.x, hy = p.geom.y, hz = p.geom.z;
    double best = FAR;
    const vec &pp = k.pp;
    if (d.x != 0) {
        if (k.tryface[0])
            box_face(r, best, o, d, pp, k.num[0] / d.x, hy, 1, hz, 2, true, p);
        if (k.tryface[1])
            box_face(r, best, o, d, pp, k.num[1] / d.x, hy, 1, hz, 2, false, p);
    }
    if (d.y != 0) {
        if (k.tryface[2])
            box_face(r, best, o, d, pp, k.num[2] / d.y, hx, 0, hz, 2, false, p);
        if (k.tryface[3])
            box_face(r, best, o, d, pp, k.num[3] / d.y, hx, 0, hz, 2, false, p);
    }
    if (d.z != 0) {
        if (k.tryface[4])
            box_face(r, best, o, d, pp, k.num[4] / d.z, hy, 1, hx, 0, false, p);
        if (k.tryface[5])
            box_face(r, best, o, d, pp, k.num[5] / d.z, hy, 1, hx, 0, false, p);
    }
    if (best == FAR)
        r = nohit();
    return r;
}

vec &quad_hit(vec &r, const vec &o, const vec &d, const primrec &p, const xconst &k)
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

void xprep(xconst &k, const vec &o, const primrec &p)
{
    const vec &g = p.geom;
    switch (p.type) {
    case 1: {
        vec w;
        vsub(w, p.pos, o);
        k.wn = vspro(w, g);
        break;
    }
    case 2: {
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
    case 3:
    case 4: {
        vec pp;
        vsub(pp, o, p.pos);
        k.kp = vec{g.x * pp.x, g.y * pp.y, g.z * pp.z};
        k.c = g.x * times2(pp.x) + g.y * times2(pp.y) + g.z * times2(pp.z) -
              (p.type == 3 ? 1.0 : 0.0);
        break;
    }
    default:
        break;
    }
}

vec &crossx(vec &r, const vec &o, const vec &d, const primrec &p, const xconst &k)
{
    switch (p.type) {
    case 1:
        return plane_hit(r, o, d, p, k);
    case 2:
        return box_hit(r, o, d, p, k);
    case 3:
    case 4:
        return quad_hit(r, o, d, p, k);
    default:
        return r;
    }
}

vec &crossp(vec &r, const vec &o, const vec &d, const primrec &p)
{
    xconst k;
    xprep(k, o, p);
    return crossx(r, o, d, p, k);
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
