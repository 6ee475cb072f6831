// shade_group.h - shade() for many rays at once, for a tracer with
// shortcuts: the primary rays of up to SHADOW_GROUP neighbouring dots, and
// every mirror and glass ray they lead to.
//
// Each ray's colour is shade()'s, term by term in the same order; only the
// order in which rays are traced differs, and no colour depends on it. The
// rays are traced SHADOW_GROUP at a time, their shadow searches toward
// each light made together (TR::lit_group): first the dots' primary rays
// (TR::nearest_group), then the rays these lead to, a level after another
// (TR::nearest_all). A ray's colour adds those of the rays it leads to, so
// the colours are summed afterwards, the last ray traced first.
//
// The rays are kept in the tracer's tree (TR::tree, TR::tree_room of
// them, fast.h's ray_node); a ray that finds no room is traced on the spot
// by shade(), as deep as it goes.
#pragma once

#include "shade_impl.h"

namespace shade_detail {

// The surfaces s[i] of the n rays t[i] where they met their primitives
// (hit -1: none), and the lights' terms there as shade() adds them
// (TR::light_terms): ray i's colour so far is that of point at[i] of P,
// or none (at[i] -1) when no light can add to it.
template <class TR>
void group_lights(TR &tr, lit_batch &P, int *at, surface *s, ray_node *const *t, int n)
{
    const scene &sc = *tr.sc;
    lit_point a[SHADOW_GROUP];
    int m = 0;
    for (int i = 0; i < n; i++) {
        const int hit = t[i]->hit;
        at[i] = -1;
        if (hit < 0)
            continue;
        surface_at(s[i], sc, hit, tr.bits(hit), t[i]->h, t[i]->dir, t[i]->depth);
        if (!s[i].lights)
            continue;
        const primrec &ph = *s[i].ph;
        const colr &k = s[i].k;
        a[m] = lit_point{s[i].h,
                         s[i].n,
                         s[i].u,
                         s[i].n2,
                         ph.kd,
                         ph.ks,
                         (double)ph.npow,
                         std::fabs(ph.kd) * cmax(k),
                         (double)hit,
                         (double)k.r,
                         (double)k.g,
                         (double)k.b,
                         tr.highlight_floors(hit)};
        at[i] = m++;
    }
    if (m == 0)
        return;
    for (int i = m; i < SHADOW_GROUP; i++)
        a[i] = a[0];
    tr.light_terms(P, a, m);
}

// A new ray of the tree, or none.
inline void tree_ray(ray_node &t, const vec &org, const vec &dir, int depth, int on)
{
    t.on = on;
    t.org = org;
    t.dir = dir;
    t.depth = depth;
    t.nkids = 0;
    t.out = colr{0, 0, 0};
}

// Ray p, which met its primitive with surface s, leads to a ray from s.h
// along dir, weighed by w: a node of the tree while there is room (size
// counts them), else traced now.
template <class TR>
void lead_to(TR &tr, ray_node &p, const surface &s, const vec &dir, double w, int &size)
{
    const int k = p.nkids++;
    p.w[k] = w;
    p.kid[k] = -1;
    if (size < tr.tree_room) {
        // whether it enters the solid (of sense > 0; else the normal is
        // turned): it then most often meets the primitive again, which
        // TR::nearest_from tries first
        const bool enters = (vspro(dir, s.n) < 0) == (s.ph->sense > 0);
        tree_ray(tr.tree[size], s.h, dir, p.depth - 1, enters ? p.hit : -1);
        p.kid[k] = size++;
    } else {
        shade(tr, p.kc[k], s.h, dir, p.depth - 1, -1);
    }
}

// The n rays who[i] of the tree, which have met their primitives: their
// own terms (the lights', then the ambient) in their out, and the rays
// they lead to added to the tree.
template <class TR>
void tree_shade(TR &tr, const int *who, int n, int &size)
{
    ray_node *t[SHADOW_GROUP] = {};
    for (int i = 0; i < n; i++)
        t[i] = tr.tree + who[i];
    surface s[SHADOW_GROUP];
    lit_batch P;
    int at[SHADOW_GROUP];
    group_lights(tr, P, at, s, t, n);
    glass_rays g[SHADOW_GROUP];
    bool glass[SHADOW_GROUP];
    for (int i = 0; i < n; i++) {
        glass[i] = false;
        if (t[i]->hit < 0)
            continue;
        // the lights' terms (whole numbers within the int range), then the
        // ambient
        const int a = at[i];
        colr out = a >= 0 ? colr{(int)P.r[a], (int)P.g[a], (int)P.b[a]} : colr{0, 0, 0}, c;
        const primrec &ph = *s[i].ph;
        if (ph.ka != 0)
            cadd(out, out, cmul(c, s[i].k, ph.ka));
        t[i]->out = out;
    }
    // the mirror and reflection rays first, then the refractions: rays
    // of a kind from neighbouring points go much the same way
    for (int i = 0; i < n; i++) {
        if (t[i]->hit < 0 || !s[i].secondary)
            continue;
        const primrec &ph = *s[i].ph;
        if (ph.surf == SURF_MIRROR) {
            vec r;
            lead_to(tr, *t[i], s[i], mirror(r, s[i].u, s[i].n, s[i].n2), ph.ks, size);
        } else {
            glass[i] = true;
            glass_split(g[i], t[i]->dir, s[i].n, ph, s[i].u, s[i].n2, s[i].dir2);
            lead_to(tr, *t[i], s[i], g[i].r, g[i].wr, size);
        }
    }
    for (int i = 0; i < n; i++)
        if (glass[i] && g[i].refracts)
            lead_to(tr, *t[i], s[i], g[i].t, g[i].wt, size);
}

// The rays of the tree from lo to hi that met a primitive, in who: how
// many.
inline int that_met(const ray_node *t, int lo, int hi, int *who)
{
    int m = 0;
    for (int i = lo; i < hi; i++)
        if (t[i].hit >= 0)
            who[m++] = i;
    return m;
}

// Each ray's colour, its own terms and then those of the rays it leads
// to, in order, weighed: the last rays first, as they lead to none before
// them.
inline void tree_sum(ray_node *t, int size)
{
    for (int i = size - 1; i >= 0; i--) {
        ray_node &p = t[i];
        for (int k = 0; k < p.nkids; k++) {
            colr c;
            cadd(p.out, p.out, cmul(c, p.kid[k] >= 0 ? t[p.kid[k]].out : p.kc[k], p.w[k]));
        }
    }
}

} // namespace shade_detail

// shade() for the primary rays of n (up to SHADOW_GROUP) neighbouring dots
// from one eye, and for the rays they lead to: dir[i] through the dot of
// picture tile tile[i]; out[i] gets its colour.
template <class TR>
void shade_group(TR &tr, colr *out, const vec &org, const vec *dir, const int *tile, int n,
                 int depth, int eye)
{
    using namespace shade_detail;
    static_assert(TR::shortcuts, "a group needs the tracer's shortcuts");
    static_assert(SHADOW_GROUP <= RAY_TREE, "the tree holds a group's primary rays");
    ray_node *t = tr.tree;
    for (int i = 0; i < n; i++)
        tree_ray(t[i], org, dir[i], depth, -1);
    int size = n;
    if (!(tr.stop && tr.stop->halt())) {
        int hit[SHADOW_GROUP], who[SHADOW_GROUP];
        vec hp[SHADOW_GROUP];
        tr.rays += n;
        tr.nearest_group(org, dir, eye, tile, n, hit, hp);
        for (int i = 0; i < n; i++) {
            t[i].hit = hit[i];
            if (hit[i] >= 0)
                t[i].h = hp[i];
            who[i] = i;
        }
        tree_shade(tr, who, n, size);
    }
    // the rays they lead to, level by level, SHADOW_GROUP at a time
    for (int lo = n, hi; lo < size && !(tr.stop && tr.stop->halt()); lo = hi) {
        hi = size;
        tr.rays += hi - lo;
        tr.nearest_all(t + lo, hi - lo);
        int who[RAY_TREE];
        const int met = that_met(t, lo, hi, who);
        for (int b = 0; b < met && !(tr.stop && tr.stop->halt()); b += SHADOW_GROUP)
            tree_shade(tr, who + b, met - b < SHADOW_GROUP ? met - b : SHADOW_GROUP, size);
    }
    tree_sum(t, size);
    for (int i = 0; i < n; i++)
        out[i] = t[i].out;
}
