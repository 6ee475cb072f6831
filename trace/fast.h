// fast.h - the accelerated tracer: the same pictures as the plain search
// over every primitive (shade.h), bit for bit, with far fewer intersection
// tests.
//
// Once per picture, fast_prepare (fast_prep.h) works out each
// primitive's bounding box (bounds.h), a tree over the bounded ones
// (bvh.h), what crossp derives from each eye and each light alone
// (crossp.h's xconst), and lists of which primitives a ray can meet:
//
//  - for each eye, by tile of the picture (screengrid.h: 16 x 8 dots);
//    only where the camera gives no tiles, by direction (dirgrid.h);
//  - for each light, by direction (dirgrid.h), as far as GRID_BUDGET goes.
//
// The lists go nearest box first. A fast_tracer per thread then answers
// shade()'s two questions (shade_impl.h) thus:
//
//  - nearest hit (fast_near.cpp): a primary ray tries its tile's list, and
//    stops at the first box farther than its best hit; the dots of a row
//    are shaded SHADOW_GROUP (a tile's width) at a time (calc_fast_group,
//    shade_group.h), their rays trying the tile's list together in the
//    kernels' lanes (kernels.h), and so are the mirror and glass rays they
//    lead to, a level at a time. Those rays, in a scene of 48 primitives
//    or fewer, try them all, SHADOW_GROUP rays side by side; in a larger
//    one a ray that enters the primitive it leaves and meets it again
//    tries only the primitives whose boxes meet its box, and any other
//    walks the tree, nearest boxes first (as does a lone secondary ray,
//    but in a scene of 24 or fewer, where it tries them all, the quadrics
//    side by side). Rays from an origin far
//    out, where a box could miss a rounded hit, use the plain search.
//  - shadow (fast_shadow.cpp): from the light toward the point, the
//    primitive that blocked the light's last search first (one test often
//    proves the light blocked), then the primitive hit, then the list of
//    the light's direction cell up to the point; a light without a grid
//    walks the tree. A group's searches toward one light try the blocker,
//    their hits and their cells' lists together, each primitive once, in
//    the kernels' lanes (lit_group), and the light's geometry and terms
//    at the group's points are worked out side by side too
//    (light_terms). The transparent primitives' trans are multiplied in
//    index order, as the plain search does.
//
// Why the pictures stay the same: trying a primitive more changes no pick
// (the smallest distance wins, then the lowest index, in any order of
// trying) and no shadow, and a primitive skipped would have given the
// no-hit marker, which provably changes nothing while every coordinate
// lies within 1e8, far from the marker at 1e10. Scenes beyond that use
// the plain search throughout.
#pragma once

#include "frame.h"
#include "kernels.h"
#include "shade.h"

#include <cstddef>
#include <memory>
#include <vector>

struct fast_prep;
struct fast_prep_free {
    void operator()(fast_prep *p) const;
};
using fast_prep_ptr = std::unique_ptr<fast_prep, fast_prep_free>;

// Prepares scene sc for the eyes of frame f. Null when the scene is outside
// the fast path's range: use the plain search then. sc must outlive it.
// path picks how the lights' geometry is worked out (kernels.h); one the
// processor cannot run becomes the widest it can.
fast_prep_ptr fast_prepare(const scene &sc, const frame &f, int path = KERNELS_BEST);

// Entries all direction grids of one picture may hold: an eye's grid
// may take a quarter, then each light's in turn what is left; a light
// whose grid would not fit has none (its shadow searches walk the tree).
constexpr size_t GRID_BUDGET = 8u << 20;

// fast_prepare in steps, for a caller with threads to share the work:
// fast_prepare_begin (null when the scene is out of range), then
// fast_prepare_grid for every t below fast_prepare_grids (the eyes' and
// the lights' grids, each on its own, in any order and on any threads),
// then fast_prepare_end once they are all done. The prepared scene is
// then fast_prepare's (with a smaller budget, as tests give, it has
// fewer grids).
fast_prep_ptr fast_prepare_begin(const scene &sc, const frame &f, int path = KERNELS_BEST,
                                 size_t budget = GRID_BUDGET);
int fast_prepare_grids(const fast_prep &prep);
void fast_prepare_grid(fast_prep &prep, int t);
void fast_prepare_end(fast_prep &prep);
// The kernel_path a prepared scene uses.
int fast_kernel_path(const fast_prep &prep);

// Candidates each tried once in a search: a stamp per primitive, the
// round's own once tried in it.
struct tried_set {
    unsigned stamp[PRIM_MAX] = {};
    unsigned round = 0;
    void next(); // a new round: nothing tried yet
    bool has(int k) const { return stamp[k] == round; }
    void add(int k) { stamp[k] = round; }
};

// A ray of a group's tree (shade_group.h): where it starts and goes, its
// colour, and the rays it leads to.
struct ray_node {
    vec org, dir;
    int depth;
    int on;  // a primitive org lies on whose solid the ray enters, or -1
    int hit; // the primitive it meets (-1: none), at h
    vec h;
    int nkids;   // the rays it leads to: a mirror's, or glass's reflection and refraction
    int kid[2];  // their nodes, or -1: traced at once, the colour in kc
    double w[2]; // their weights
    colr out;    // its own terms; once summed, its colour
    colr kc[2];
};
// The rays a tracer keeps for a group's tree: every ray of sixteen dots to
// a depth of 5, glass everywhere.
constexpr int RAY_TREE = 1024;

// One thread's tracer: shade()'s questions (shade_impl.h), with its
// shortcuts.
struct fast_tracer {
    static constexpr bool shortcuts = true;
    const scene *sc;
    const fast_prep *S;
    trace_stop *stop = nullptr; // see plain_tracer (shade.h)
    const char *floor = nullptr;
    int blocker[LIGHT_MAX];              // last primitive that blocked each light, or -1
    int tile;                            // the picture tile of the next primary ray, or -1
    long long rays = 0, shadow_rays = 0; // traced so far
    light_geom lg;                       // the lights at the hit point being shaded
    ray_node *tree;                      // a group's rays (shade_group.h)
    int tree_room = RAY_TREE;
    fast_tracer(const scene &sc, const fast_prep &prep);
    int nearest(const vec &org, const vec &dir, int eye, vec &h);
    // nearest for n (up to SHADOW_GROUP) rays from prepared eye `eye`
    // through dots of picture tiles tile[0 .. n - 1] at once: hit[r], h[r]
    void nearest_group(const vec &org, const vec *dir, int eye, const int *tile, int n, int *hit,
                       vec *h);
    // nearest for a ray of a group's tree (ray_node: org lies on primitive
    // on, -1 for none known)
    int nearest_from(const vec &org, const vec &dir, int on, vec &h);
    // nearest_from for the n rays t[i] of a group's tree: t[i].hit, t[i].h
    void nearest_all(ray_node *t, int n);
    bool lit(int j, const vec &h, int hit, const vec &lv, double dl2, double dist, double &f);
    // lit's questions for the rays `ask` of R (kernels.h's lit_light toward
    // light j; dist[r] is ray r's sqrt(dl2)) at once: the rays whose light
    // reaches their points, f[r] for each as lit gives it
    unsigned lit_group(int j, shadow_batch &R, const double *dist, unsigned ask, double *f);
    // shade()'s lights' terms at the n (up to SHADOW_GROUP) points of
    // a[0 .. SHADOW_GROUP - 1] (padded) at once, the searches toward each
    // light made together: the colour of a[i] in P.r, P.g, P.b[i]
    void light_terms(lit_batch &P, const lit_point *a, int n);
    // the lights at a hit point (one ray's, shade())
    const light_geom &lights_at(const vec &h, const vec &n, double n2, const vec &u,
                                bool highlights);
    const double *highlight_floors(int k) const;
    double fi_max(int j) const;
    unsigned bits(int k) const;

private:
    // nearest through the hierarchy
    int nearest_tree(const vec &org, const vec &dir, int eye, vec &h);
    tried_set tried;                          // the candidates of a group's search
    std::vector<light_geom::block> lg_blocks; // lg's
    std::unique_ptr<ray_node[]> tree_nodes;   // tree's: their pages are touched as used
};

// The tile of dot (x, y) seen from prepared eye 0 or 1, or -1.
int fast_tile(const fast_prep &prep, int eye, int x, int y);

// calc with the accelerated search; eye is 0 or 1 for a primary ray from
// the prepared eyes, -1 for any other origin.
colr &calc_fast(fast_tracer &tr, colr &out, const vec &org, const vec &dir, int depth, int eye);

// calc_fast for the primary rays of n (up to SHADOW_GROUP) neighbouring
// dots from prepared eye `eye`: dir[i] through dot i of picture tile
// tile[i]. Each out[i] is what calc_fast gives; their shadow searches
// toward each light are made together.
void calc_fast_group(fast_tracer &tr, colr *out, const vec &org, const vec *dir, const int *tile,
                     int n, int depth, int eye);
