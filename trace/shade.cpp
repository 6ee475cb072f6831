#include "shade.h"

#include "crossp.h"

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

// The light of light j at hit point h of primitive hit (normal n, seen
// along dir), added to out.
void add_light(colr &out, const vec &dir, const vec &h, const vec &n, int hit, const colr &k,
               const ligrec &l)
{
    const primrec &ph = pri[hit];
    vec lv;
    vsub(lv, h, l.pos);
    double dl2 = vlength2(lv);

    // shadow search from the light toward h
    vec s = nohit(), p, q;
    double sbest = FAR, f = 1.0;
    for (int k2 = 0; k2 < primmx; k2++) {
        const primrec &pk = pri[k2];
        if (!known_type(pk))
            continue;
        crossp(p, l.pos, lv, pk);
        double dk = vlength2(vsub(q, p, l.pos));
        if (pk.surf == 3 && k2 != hit && dk < dl2)
            f = f * pk.trans;
        if ((k2 == hit || pk.surf != 3) && dk < sbest) {
            sbest = dk;
            s = p;
        }
    }
    if (!(vlength2(vsub(q, h, s)) < 1e-10))
        return;

    colr c;
    double sd = std::fabs(vcos(n, lv)) * (f * l.bright) * ph.kd;
    cadd(out, out, cmul(c, k, sd));

    vec b, u, w;
    vadd(b, vnorm(u, dir), vnorm(w, lv));
    double ch = vcos(b, n);
    if (ch != ch || (ch == 0 && ph.npow <= 0))
        return;
    double sh = std::fabs(std::pow(ch, ph.npow) * (f * l.bright) * ph.ks);
    const colr white{255, 255, 255};
    cadd(out, out, cmul(c, white, sh));
}

// Mirror direction of dir about n: D + N * (-2 (N.D) / |N|^2), D = unit dir.
vec &mirror(vec &r, const vec &dir, const vec &n)
{
    vec d, t;
    vnorm(d, dir);
    double m = -2 * vspro(n, d) / vlength2(n);
    return vadd(r, d, vmul(t, n, m));
}

void add_glass(colr &out, const vec &org_h, const vec &dir, vec n, const primrec &ph, int depth)
{
    // which side: leaving the solid flips the normal and the index
    double eta;
    if (vspro(n, dir) > 0) {
        eta = 1 / ph.refr;
        vneg(n, n);
    } else {
        eta = ph.refr;
    }
    vec r, d;
    colr k, c;
    vnorm(d, dir);
    mirror(r, dir, n);
    calc(k, org_h, r, depth - 1);

    double c1 = -vcos(dir, n);
    double kk = times2(eta) + times2(c1) - 1;
    if (kk < 0)
        kk = 0;
    double ct = std::sqrt(kk);
    double e2c = times2(eta) * c1;
    double fr = (times2((c1 - ct) / (c1 + ct)) + times2((e2c - ct) / (e2c + ct))) * 0.5;
    cadd(out, out, cmul(c, k, fr + ph.ks));
    if (!(kk > 0))
        return;

    // refracted direction T = (D + c1 M) (c1 / sqrt(k)) - c1 M, M = unit normal
    vec m, a, cm, t;
    vnorm(m, n);
    vmul(cm, m, c1);
    vadd(a, d, cm);
    vmul(a, a, c1 / std::sqrt(kk));
    vsub(t, a, cm);
    calc(k, org_h, t, depth - 1);
    cadd(out, out, cmul(c, k, 1.0 - fr));
}

} // namespace

colr &calc(colr &out, const vec &org, const vec &dir, int depth)
{
    if (calc_stop) {
        if (calc_stop->load(std::memory_order_relaxed))
            return out = colr{0, 0, 0};
        if ((uintptr_t)__builtin_frame_address(0) < (uintptr_t)calc_stack_floor) {
            calc_deep = true;
            calc_stop->store(true);
            return out = colr{0, 0, 0};
        }
    }

    // nearest hit, lowest index on a tie
    double best = FAR;
    vec h{}, p, q;
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
    out = colr{0, 0, 0};
    if (hit < 0)
        return out;

    const primrec &ph = pri[hit];
    vec n;
    refl(n, h, ph);
    colr k, c;
    get_color(k, h, ph);
    bool flat = vlength2(n) == 0; // no direction to light or mirror by

    if (!flat)
        for (int j = 0; j < nlg; j++)
            add_light(out, dir, h, n, hit, k, lig[j]);

    cadd(out, out, cmul(c, k, ph.ka));

    if (depth > 0 && !flat) {
        if (ph.surf == 2) {
            vec r;
            calc(c, h, mirror(r, dir, n), depth - 1);
            cadd(out, out, cmul(c, c, ph.ks));
        } else if (ph.surf == 3) {
            add_glass(out, h, dir, n, ph, depth);
        }
    }
    return out;
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
