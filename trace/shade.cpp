#include "shade.h"

#include "crossp.h"
#include "shade_impl.h"

namespace {

// Parity of trunc(v), v taken as a whole number; values beyond 2^63 and
// those that are no number count as even.
bool odd_cell(double v)
{
    if (!(v > -9.2e18 && v < 9.2e18))
        return false;
    return ((long long)v & 1) != 0;
}

} // namespace

int plain_tracer::nearest(const vec &org, const vec &dir, int, vec &h) const
{
    return nearest_plain(*sc, org, dir, h);
}

// Shadow search from the light toward h: a transparent primitive other
// than hit dims the light when its point lies nearer the light than h; the
// nearest point of the others (and of hit) must be h itself.
bool plain_tracer::lit(int j, const vec &h, int hit, const vec &lv, double dl2, double &f) const
{
    const vec &lp = sc->lig[j].pos;
    vec s = nohit(), p, q;
    double sbest = FAR;
    f = 1.0;
    for (int k = 0; k < sc->primmx; k++) {
        const primrec &pk = sc->pri[k];
        if (!known_type(pk.type))
            continue;
        crossp(p, lp, lv, pk, sc->pri);
        double dk = vlength2(vsub(q, p, lp));
        if (pk.surf == SURF_GLASS && k != hit && dk < dl2)
            f = f * pk.trans;
        if ((k == hit || pk.surf != SURF_GLASS) && dk < sbest) {
            sbest = dk;
            s = p;
        }
    }
    return vlength2(vsub(q, h, s)) < LIT_EPS2;
}

int nearest_plain(const scene &sc, const vec &org, const vec &dir, vec &h)
{
    double best = FAR;
    vec p, q;
    int hit = -1;
    for (int i = 0; i < sc.primmx; i++) {
        if (!known_type(sc.pri[i].type))
            continue;
        crossp(p, org, dir, sc.pri[i], sc.pri);
        double d2 = vlength2(vsub(q, org, p));
        if (d2 < best) {
            best = d2;
            h = p;
            hit = i;
        }
    }
    return hit;
}

colr &calc_plain(plain_tracer &tr, colr &out, const vec &org, const vec &dir, int depth)
{
    return shade(tr, out, org, dir, depth, -1);
}

colr &calc(colr &out, const vec &org, const vec &dir, int depth, const scene &sc)
{
    plain_tracer tr(sc);
    return shade(tr, out, org, dir, depth, -1);
}

vec &refl(vec &nrm, const vec &pt, const primrec &p)
{
    vec d;
    const vec &g = p.geom;
    switch (p.type) {
    case PRIM_PLANE:
        if (p.sense > 0)
            nrm = g;
        else
            vneg(nrm, g);
        break;
    case PRIM_BOX:
        vsub(d, pt, p.pos);
        if (std::fabs(d.x - g.x) < 1e-10 || std::fabs(d.x + g.x) < 1e-10)
            nrm = vec{sgn(d.x) * p.sense, 0, 0};
        else if (std::fabs(d.y - g.y) < 1e-10 || std::fabs(d.y + g.y) < 1e-10)
            nrm = vec{0, sgn(d.y) * p.sense, 0};
        else
            nrm = vec{0, 0, sgn(d.z) * p.sense};
        break;
    case PRIM_QUADRIC:
    case PRIM_CONE:
        vsub(d, pt, p.pos);
        nrm = vec{g.x * d.x, g.y * d.y, g.z * d.z};
        if (p.sense <= 0)
            vneg(nrm, nrm);
        break;
    default:
        break;
    }
    return nrm;
}

colr &get_color(colr &out, const vec &pt, const primrec &p)
{
    const double w = p.patw;
    bool alt;
    switch (p.pat) {
    case PAT_CHECKER:
        alt = odd_cell(pt.x / w + 10000) != odd_cell(pt.y / w + 10000);
        break;
    case PAT_STRIPES:
        alt = odd_cell(pt.y / w + 10000);
        break;
    case PAT_DIAGONAL:
        alt = odd_cell((pt.x + pt.y + pt.z) / w * (1.0 / 3.0) + 10000);
        break;
    default:
        alt = false;
        break;
    }
    if (!alt) {
        out = p.col;
        return out;
    }
    long long r = (long long)p.col.r + 128;
    out.r = r < 255 ? (int)r : 255;
    out.g = p.col.g / 2;
    out.b = p.col.b / 2;
    return out;
}
