#include "shade.h"

#include "crossp.h"
#include "shade_impl.h"

std::atomic<bool> *calc_stop;
std::atomic<bool> calc_deep;
thread_local const char *calc_stack_floor;

namespace {

// A type outside 1..4 is never hit: it neither shows, blocks nor dims.
bool known_type(const primrec &p) { return p.type >= 1 && p.type <= 4; }

// Parity of trunc(v), v taken as a whole number; values beyond 2^63 and
// those that are no number count as even.
bool odd_cell(double v)
{
    if (!(v > -9.2e18 && v < 9.2e18))
        return false;
    return ((long long)v & 1) != 0;
}

// The literal search: every primitive for the nearest hit, and again for
// every shadow. It is the reference the accelerated tracer must match.
struct plain_tracer {
    static constexpr bool skip_zero_terms = false;
    long long rays = 0, shadow_rays = 0;
    int nearest(const vec &org, const vec &dir, int, vec &h) { return nearest_plain(org, dir, h); }

    // Shadow search from the light toward h: a transparent primitive other
    // than hit dims the light when its point lies nearer the light than h;
    // the nearest point of the others (and of hit) must be h itself.
    bool lit(int j, const vec &h, int hit, const vec &lv, double dl2, double &f)
    {
        const vec &lp = lig[j].pos;
        vec s = nohit(), p, q;
        double sbest = FAR;
        f = 1.0;
        for (int k = 0; k < primmx; k++) {
            const primrec &pk = pri[k];
            if (!known_type(pk))
                continue;
            crossp(p, lp, lv, pk);
            double dk = vlength2(vsub(q, p, lp));
            if (pk.surf == 3 && k != hit && dk < dl2)
                f = f * pk.trans;
            if ((k == hit || pk.surf != 3) && dk < sbest) {
                sbest = dk;
                s = p;
            }
        }
        return vlength2(vsub(q, h, s)) < 1e-10;
    }
};

} // namespace

int nearest_plain(const vec &org, const vec &dir, vec &h)
{
    double best = FAR;
    vec p, q;
    int hit = -1;
    for (int i = 0; i < primmx; i++) {
        if (!known_type(pri[i]))
            continue;
        crossp(p, org, dir, pri[i]);
        double d2 = vlength2(vsub(q, org, p));
        if (d2 < best) {
            best = d2;
            h = p;
            hit = i;
        }
    }
    return hit;
}

colr &calc(colr &out, const vec &org, const vec &dir, int depth)
{
    plain_tracer tr;
    return shade(tr, out, org, dir, depth, -1);
}

vec &refl(vec &nrm, const vec &pt, const primrec &p)
{
    vec d;
    const vec &g = p.geom;
    switch (p.type) {
    case 1:
        if (p.sense > 0)
            nrm = g;
        else
            vneg(nrm, g);
        break;
    case 2:
        vsub(d, pt, p.pos);
        if (std::fabs(d.x - g.x) < 1e-10 || std::fabs(d.x + g.x) < 1e-10)
            nrm = vec{sgn(d.x) * p.sense, 0, 0};
        else if (std::fabs(d.y - g.y) < 1e-10 || std::fabs(d.y + g.y) < 1e-10)
            nrm = vec{0, sgn(d.y) * p.sense, 0};
        else
            nrm = vec{0, 0, sgn(d.z) * p.sense};
        break;
    case 3:
    case 4:
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
    case 1:
        alt = odd_cell(pt.x / w + 10000) != odd_cell(pt.y / w + 10000);
        break;
    case 2:
        alt = odd_cell(pt.y / w + 10000);
        break;
    case 3:
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
