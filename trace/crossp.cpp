#include "crossx.h"

// inside, inline in checkin's loop
KORU_INLINE int inside_of(const vec &x, const primrec &p)
{
    vec v;
    vsub(v, x, p.pos);
    const vec &g = p.geom;
    bool solid = p.sense > 0;
    switch (p.type) {
    case PRIM_PLANE: {
        double s = vspro(v, g);
        return solid ? s <= 0 : s >= 0;
    }
    case PRIM_BOX:
        if (solid)
            return -g.x <= v.x && v.x <= g.x && -g.y <= v.y && v.y <= g.y && -g.z <= v.z &&
                   v.z <= g.z;
        return v.x <= -g.x || v.x >= g.x || v.y <= -g.y || v.y >= g.y || v.z <= -g.z || v.z >= g.z;
    case PRIM_QUADRIC:
    case PRIM_CONE: {
        double k = p.type == PRIM_QUADRIC ? 1.0 : 0.0;
        double q = g.x * times2(v.x) + g.y * times2(v.y) + g.z * times2(v.z);
        return solid ? q <= k : q >= k;
    }
    default:
        return 0;
    }
}

void xprep(xconst &k, const vec &o, const primrec &p) { xprep_inline(k, o, p); }

vec &crossx(vec &r, const vec &o, const vec &d, const primrec &p, const xconst &k,
            const primrec *tab)
{
    return crossx_inline(r, o, d, p, k, tab);
}

vec &crossp(vec &r, const vec &o, const vec &d, const primrec &p, const primrec *tab)
{
    xconst k;
    xprep(k, o, p);
    return crossx(r, o, d, p, k, tab);
}

int checkin(vec &x, const primrec &p, const primrec *tab)
{
    if (x.x >= FAR)
        return 1;
    if (p.nmem <= 0)
        return 1;
    for (int i = 0; i < p.nmem; i++) {
        if (!inside_of(x, tab[p.mem[i]])) {
            x = nohit();
            return 0;
        }
    }
    return 1;
}

int inside(const vec &x, const primrec &p) { return inside_of(x, p); }
