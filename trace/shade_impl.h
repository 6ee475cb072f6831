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
// A tracer with TR::shortcuts set skips work that provably changes no
// byte, and takes its lights' geometry from kernels.h, all lights at
// once. It answers, besides:
//
//   const light_geom &TR::lights_at(const vec &h, const vec &n, double n2,
//                                   const vec &u, bool highlights)
//       kernels.h's numbers for every light at h.
//   bool TR::lit(j, h, hit, lv, dl2, dist, f)
//       as above; dist = sqrt(dl2).
//   const double *TR::highlight_floors(int k)
//       for each light, a cosine below which (in size) the highlight of
//       primitive k adds nothing under it (0: none is known).
//   unsigned TR::bits(int k)
//       shade_bits<true> of primitive k, worked out once.
//   double TR::fi_max(int j)
//       a bound of |fi| for light j, whatever its shadow search finds: its
//       |bright| times the largest product of trans the search can give.
//
// The work it skips:
//  - terms with a factor of exactly 0: cmul gives 0 whatever the other
//    factors hold (a factor that is no number gives 0 as well), so a
//    diffuse term with kd or the light's intensity 0, a highlight with ks
//    0 or a mirror ray with ks 0 add nothing;
//  - pow for a highlight whose cosine lies below its primitive's floor;
//  - the shadow search of a light too dim to add anything at this point
//    (dim_light_adds_nothing).
#pragma once

#include "kernels.h"
#include "shade.h"

namespace shade_detail {

// Mirror direction about n: D + N * (-2 (N.D) / |N|^2), D = u the unit
// dir, n2 = |N|^2.
inline vec &mirror(vec &r, const vec &u, const vec &n, double n2)
{
    vec t;
    double m = -2 * vspro(n, u) / n2;
    return vadd(r, u, vmul(t, n, m));
}

// The largest channel of c in size.
inline double cmax(const colr &c)
{
    const double r = std::fabs((double)c.r), g = std::fabs((double)c.g), b = std::fabs((double)c.b);
    const double m = r > g ? r : g;
    return m > b ? m : b;
}

// Diffuse and highlight of one light that reaches h: cn = vcos(n, lv), ch
// the highlight cosine, fi the light's bright times the trans it passed.
// A highlight whose cosine ch has |ch| < hl_floor adds nothing and is
// left out (a tracer with shortcuts only; 0 tries every one).
template <bool skip>
inline void add_light(colr &out, const primrec &ph, const colr &k, double cn, double ch, double fi,
                      double hl_floor)
{
    colr c;
    if (skip && (fi == 0 || (ph.kd == 0 && ph.ks == 0)))
        return;
    if (!skip || ph.kd != 0) {
        double sd = std::fabs(cn) * fi * ph.kd;
        cadd(out, out, cmul(c, k, sd));
    }
    if (skip && ph.ks == 0)
        return;
    if (ch != ch || (ch == 0 && ph.npow <= 0))
        return; // no direction to measure the highlight by
    if (skip && std::fabs(ch) < hl_floor)
        return;
    double sh = std::fabs(std::pow(ch, ph.npow) * fi * ph.ks);
    const colr white{255, 255, 255};
    cadd(out, out, cmul(c, white, sh));
}

// Cosine of the highlight: between n and the sum of the unit dir u and
// the unit vector from the light.
inline double highlight_cos(const vec &u, const vec &n, const vec &lv)
{
    vec b, w;
    vadd(b, u, vnorm(w, lv));
    return vcos(b, n);
}

// Whether add_light<true> adds nothing for any fi with |fi| <= fi_max (the
// shadow search then need not be made). dscale = |kd| times the largest
// channel of k in size.
//
// The diffuse term: cmul truncates each channel of k * (|cn| fi kd) toward
// zero, so it adds nothing when every product is below 1 in size. The
// bound |cn| fi_max dscale < 1 - 1e-9 holds for the computed numbers; the
// true products differ from it by a relative rounding of at most about
// 2^-53 per operation (a few hundred of them: the trans product, the
// bounds, the term), and by underflow's absolute 2^-1075 per operation
// times the later factors, at most |cn| dscale <= 2e300: far less than
// 1e-9 either way. The highlight adds nothing when its cosine is no
// number, or 0 with npow <= 0, or below the floor.
inline bool dim_light_adds_nothing(const primrec &ph, double cn, double ch, double fi_max,
                                   double dscale, double hl_floor)
{
    if (ph.kd != 0 &&
        !(dscale <= 1e300 && std::fabs(cn) <= 2 && std::fabs(cn) * (fi_max * dscale) < 1 - 1e-9))
        return false;
    if (ph.ks == 0)
        return true;
    return ch != ch || (ch == 0 && ph.npow <= 0) || std::fabs(ch) < hl_floor;
}

} // namespace shade_detail

template <class TR>
colr &shade(TR &tr, colr &out, const vec &org, const vec &dir, int depth, int eye);

// What the shading of a hit needs, worked out once (surface_at).
struct surface {
    const primrec *ph;
    vec h, n, u; // the point, the normal and the unit dir (where needed)
    colr k;      // the surface colour
    double n2, dir2;
    bool flat;      // a normal of no length: no direction to light or mirror by
    bool lights;    // the lights' terms can add something
    bool secondary; // a mirror or glass ray follows
};

namespace shade_detail {

// Whether the shadow search of a light (lv, dl2, cn, ch: kernels.h's
// numbers for it at s's point) can change s's colour, for a tracer with
// shortcuts; fi_max and hl_floor are the tracer's for the light and
// dscale = |kd| cmax(k).
inline bool light_matters(const surface &s, const vec &lv, double dl2, double cn, double ch,
                          double fi_max, double dscale, double hl_floor)
{
    const primrec &ph = *s.ph;
    // A light whose diffuse term is surely large is not dim: (n.lv)^2 T^2
    // >= |n|^2 |lv|^2 says |cn| T >= 1 or near it, T = fi_max dscale. Only
    // a guess (wrong ones just make the exact test), but it needs no root
    // nor quotient, so the search need not wait for them.
    const double nl = vspro(s.n, lv), T = fi_max * dscale;
    if (ph.kd != 0 && nl * nl * (T * T) >= 2 * (s.n2 * dl2))
        return true;
    return !dim_light_adds_nothing(ph, cn, ch, fi_max, dscale, hl_floor);
}

} // namespace shade_detail

// The two rays a transparent surface with normal n leads to: the
// reflection r with its weight wr and, unless the light is totally
// reflected (refracts false), the refraction t with its weight wt. u is
// the unit dir, n2 = |n|^2 and dir2 = |dir|^2 (worked out once per hit,
// and the same numbers vnorm and vcos work out).
struct glass_rays {
    vec r, t;
    double wr, wt;
    bool refracts;
};

inline void glass_split(glass_rays &g, const vec &dir, vec n, const primrec &ph, const vec &u,
                        double n2, double dir2)
{
    using namespace shade_detail;
    // leaving the solid flips the normal and the index (|n|^2 stays)
    double eta;
    if (vspro(n, dir) > 0) {
        eta = 1 / ph.refr;
        vneg(n, n);
    } else {
        eta = ph.refr;
    }
    const vec &d = u;
    mirror(g.r, u, n, n2);

    // Fresnel reflectance: the mean of the two polarisations;
    // c1 = -vcos(dir, n)
    double c1 = -(vspro(dir, n) / std::sqrt(dir2 * n2));
    double kk = times2(eta) + times2(c1) - 1;
    if (kk < 0)
        kk = 0;
    double ct = std::sqrt(kk);
    double e2c = times2(eta) * c1;
    double fr = (times2((c1 - ct) / (c1 + ct)) + times2((e2c - ct) / (e2c + ct))) * 0.5;
    g.wr = fr + ph.ks;
    g.refracts = kk > 0; // else total internal reflection
    if (!g.refracts)
        return;

    // refracted direction T = (D + c1 M) (c1 / sqrt(k)) - c1 M, M = unit
    // normal, vnorm(n)
    vec m, a, cm;
    vdiv(m, n, std::sqrt(n2));
    vmul(cm, m, c1);
    vadd(a, d, cm);
    vmul(a, a, c1 / std::sqrt(kk));
    vsub(g.t, a, cm);
    g.wt = 1.0 - fr;
}

// Reflection and refraction at a transparent surface (glass_split's
// arguments), traced and added to out.
template <class TR>
void shade_glass(TR &tr, colr &out, const vec &h, const vec &dir, const vec &n, const primrec &ph,
                 int depth, const vec &u, double n2, double dir2)
{
    glass_rays g;
    glass_split(g, dir, n, ph, u, n2, dir2);
    colr k, c;
    shade(tr, k, h, g.r, depth - 1, -1);
    cadd(out, out, cmul(c, k, g.wr));
    if (!g.refracts)
        return;
    shade(tr, k, h, g.t, depth - 1, -1);
    cadd(out, out, cmul(c, k, g.wt));
}

// What a primitive's optics let its shading do, as bits (shade_bits).
enum {
    SHADE_LIGHTS = 1,     // the lights' terms can add something
    SHADE_HIGHLIGHTS = 2, // a highlight can
    SHADE_MIRROR = 4,     // a mirror ray follows
    SHADE_GLASS = 8,      // glass rays follow
};

// The bits for primitive ph; a tracer without shortcuts sets them all but
// where the surface kind decides.
template <bool skip>
inline unsigned shade_bits(const primrec &ph)
{
    unsigned b = 0;
    if (!(skip && ph.kd == 0 && ph.ks == 0))
        b |= SHADE_LIGHTS;
    if (!(skip && ph.ks == 0))
        b |= SHADE_HIGHLIGHTS;
    if (ph.surf == SURF_MIRROR && !(skip && ph.ks == 0))
        b |= SHADE_MIRROR;
    if (ph.surf == SURF_GLASS)
        b |= SHADE_GLASS;
    return b;
}

// bits: shade_bits of the primitive hit
inline void surface_at(surface &s, const scene &sc, int hit, unsigned bits, const vec &h,
                       const vec &dir, int depth)
{
    using namespace shade_detail;
    const primrec &ph = sc.pri[hit];
    s.ph = &ph;
    s.h = h;
    refl(s.n, h, ph);
    get_color(s.k, h, ph);
    s.n2 = vlength2(s.n);
    s.flat = s.n2 == 0;
    s.lights = !s.flat && (bits & SHADE_LIGHTS);
    s.secondary = depth > 0 && !s.flat && (bits & (SHADE_MIRROR | SHADE_GLASS));
    const bool highlights = !s.flat && (bits & SHADE_HIGHLIGHTS);
    // the unit dir, for highlights, mirrors and glass: vnorm(dir)
    s.dir2 = vlength2(dir);
    s.u = vec{0, 0, 0};
    if (highlights || s.secondary)
        vdiv(s.u, dir, std::sqrt(s.dir2));
}

// After the lights: the ambient term and the mirror or glass rays.
template <class TR>
void shade_rest(TR &tr, colr &out, const surface &s, const vec &dir, int depth)
{
    using namespace shade_detail;
    constexpr bool skip = TR::shortcuts;
    const primrec &ph = *s.ph;
    colr c;
    if (!skip || ph.ka != 0)
        cadd(out, out, cmul(c, s.k, ph.ka));
    if (s.secondary) {
        if (ph.surf == SURF_MIRROR) {
            vec r;
            shade(tr, c, s.h, mirror(r, s.u, s.n, s.n2), depth - 1, -1);
            cadd(out, out, cmul(c, c, ph.ks));
        } else {
            shade_glass(tr, out, s.h, dir, s.n, ph, depth, s.u, s.n2, s.dir2);
        }
    }
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
    constexpr bool skip = TR::shortcuts;
    surface s;
    if constexpr (skip)
        surface_at(s, sc, hit, tr.bits(hit), h, dir, depth);
    else
        surface_at(s, sc, hit, shade_bits<false>(sc.pri[hit]), h, dir, depth);
    const primrec &ph = *s.ph;
    const vec &n = s.n, &u = s.u;

    // lights whose shadow search from the light reaches h
    if (s.lights) {
        if constexpr (skip) {
            const double *hl_floor = tr.highlight_floors(hit);
            const double dscale = std::fabs(ph.kd) * cmax(s.k);
            const light_geom &g = tr.lights_at(h, n, s.n2, u, ph.ks != 0);
            for (int j = 0; j < sc.nlg; j++) {
                const ligrec &lj = sc.lig[j];
                if (lj.bright == 0)
                    continue;
                const vec lv{g.lx(j), g.ly(j), g.lz(j)};
                if (!light_matters(s, lv, g.dl2(j), g.cn(j), g.ch(j), tr.fi_max(j), dscale,
                                   hl_floor[j]))
                    continue;
                double f;
                tr.shadow_rays++;
                if (tr.lit(j, h, hit, lv, g.dl2(j), g.dist(j), f))
                    add_light<true>(out, ph, s.k, g.cn(j), g.ch(j), f * lj.bright, hl_floor[j]);
            }
        } else {
            for (int j = 0; j < sc.nlg; j++) {
                const ligrec &lj = sc.lig[j];
                vec lv;
                vsub(lv, h, lj.pos);
                double f;
                tr.shadow_rays++;
                if (tr.lit(j, h, hit, lv, vlength2(lv), f))
                    add_light<false>(out, ph, s.k, vcos(n, lv), highlight_cos(u, n, lv),
                                     f * lj.bright, 0.0);
            }
        }
    }
    shade_rest(tr, out, s, dir, depth);
    return out;
}
