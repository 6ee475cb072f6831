// shade_impl.h - the shading of one ray, written once for every tracer.
//
// shade() holds the lighting arithmetic; a tracer TR holds the scene it
// traces (TR::sc), its render's stop flags (TR::stop, may be null) and its
// thread's stack floor (TR::floor, may be null), and answers the two
// geometric questions shade asks, exactly as the plain loops over all
// primitives would:
//
//   int TR::nearest(const vec &org, const vec &dir, int eye, vec &h)
//       index of the primitive hit (the smallest squared distance from org,
//       the lowest index on a tie, below FAR) and its point h; -1 for none.
//       eye is the index of the eye org is (0 or 1), or -1 for any origin.
//   bool TR::lit(int j, const vec &h, int hit, const vec &lv, double dl2, double &f)
//       whether light j reaches h on primitive hit (lv = h - light, dl2 =
//       |lv|^2), and if so the product f of the trans of the transparent
//       primitives other than hit whose point lies nearer the light than h.
//
// Secondary rays are traced with eye = -1. TR also has two counters,
// rays and shadow_rays, of the rays traced and the shadow searches made.
//
// A tracer with TR::skip_zero_terms set also skips the work of terms that
// are bound to add nothing: a factor of exactly 0 makes cmul give 0 whatever
// the other factors hold (a factor that is no number gives 0 as well), so
// a diffuse term with kd or the light's intensity 0, a highlight with ks 0
// or a mirror ray with ks 0 can be left out without changing a bit.
#pragma once

#include "shade.h"

namespace shade_detail {

// Mirror direction of dir about n: D + N * (-2 (N.D) / |N|^2), D = unit dir.
inline vec &mirror(vec &r, const vec &dir, const vec &n)
{
    vec d, t;
    vnorm(d, dir);
    double m = -2 * vspro(n, d) / vlength2(n);
    return vadd(r, d, vmul(t, n, m));
}

// Diffuse and highlight of one light that reaches h; u is the unit dir.
template <bool skip>
inline void add_light(colr &out, const vec &u, const vec &n, const primrec &ph, const colr &k,
                      const vec &lv, double fi)
{
    colr c;
    if (skip && (fi == 0 || (ph.kd == 0 && ph.ks == 0)))
        return;
    if (!skip || ph.kd != 0) {
        double sd = std::fabs(vcos(n, lv)) * fi * ph.kd;
        cadd(out, out, cmul(c, k, sd));
    }
    if (skip && ph.ks == 0)
        return;

    vec b, w;
    vadd(b, u, vnorm(w, lv));
    double ch = vcos(b, n);
    if (ch != ch || (ch == 0 && ph.npow <= 0))
        return; // no direction to measure the highlight by
    double sh = std::fabs(std::pow(ch, ph.npow) * fi * ph.ks);
    const colr white{255, 255, 255};
    cadd(out, out, cmul(c, white, sh));
}

} // namespace shade_detail

template <class TR>
colr &shade(TR &tr, colr &out, const vec &org, const vec &dir, int depth, int eye);

// Reflection and refraction at a transparent surface with normal n.
template <class TR>
void shade_glass(TR &tr, colr &out, const vec &h, const vec &dir, vec n, const primrec &ph,
                 int depth)
{
    using namespace shade_detail;
    // leaving the solid flips the normal and the index
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
    shade(tr, k, h, r, depth - 1, -1);

    // Fresnel reflectance: the mean of the two polarisations
    double c1 = -vcos(dir, n);
    double kk = times2(eta) + times2(c1) - 1;
    if (kk < 0)
        kk = 0;
    double ct = std::sqrt(kk);
    double e2c = times2(eta) * c1;
    double fr = (times2((c1 - ct) / (c1 + ct)) + times2((e2c - ct) / (e2c + ct))) * 0.5;
    cadd(out, out, cmul(c, k, fr + ph.ks));
    if (!(kk > 0))
        return; // total internal reflection

    // refracted direction T = (D + c1 M) (c1 / sqrt(k)) - c1 M, M = unit normal
    vec m, a, cm, t;
    vnorm(m, n);
    vmul(cm, m, c1);
    vadd(a, d, cm);
    vmul(a, a, c1 / std::sqrt(kk));
    vsub(t, a, cm);
    shade(tr, k, h, t, depth - 1, -1);
    cadd(out, out, cmul(c, k, 1.0 - fr));
}

template <class TR>
colr &shade(TR &tr, colr &out, const vec &org, const vec &dir, int depth, int eye)
{
    using namespace shade_detail;
    out = colr{0, 0, 0};
    // a render being stopped, or a thread's stack nearly spent (shade.h)
    if (tr.stop) {
        if (tr.stop->halt())
            return out;
        if ((uintptr_t)__builtin_frame_address(0) < (uintptr_t)tr.floor) {
            tr.stop->deep.store(true);
            return out;
        }
    }
    vec h;
    tr.rays++;
    int hit = tr.nearest(org, dir, eye, h);
    if (hit < 0)
        return out; // the background is black

    const scene &sc = *tr.sc;
    const primrec &ph = sc.pri[hit];
    vec n;
    refl(n, h, ph);
    colr k, c;
    get_color(k, h, ph);
    const bool flat = vlength2(n) == 0; // no direction to light or mirror by

    constexpr bool skip = TR::skip_zero_terms;
    // lights whose shadow search from the light reaches h
    if (!flat && !(skip && ph.kd == 0 && ph.ks == 0)) {
        vec u{0, 0, 0}; // the unit dir, for highlights only
        if (!(skip && ph.ks == 0))
            vnorm(u, dir);
        for (int j = 0; j < sc.nlg; j++) {
            const ligrec &lj = sc.lig[j];
            if (skip && lj.bright == 0)
                continue;
            vec lv;
            vsub(lv, h, lj.pos);
            double f;
            tr.shadow_rays++;
            if (tr.lit(j, h, hit, lv, vlength2(lv), f))
                add_light<skip>(out, u, n, ph, k, lv, f * lj.bright);
        }
    }

    if (!skip || ph.ka != 0)
        cadd(out, out, cmul(c, k, ph.ka));

    if (depth > 0 && !flat) {
        if (ph.surf == SURF_MIRROR && !(skip && ph.ks == 0)) {
            vec r;
            shade(tr, c, h, mirror(r, dir, n), depth - 1, -1);
            cadd(out, out, cmul(c, c, ph.ks));
        } else if (ph.surf == SURF_GLASS) {
            shade_glass(tr, out, h, dir, n, ph, depth);
        }
    }
    return out;
}
