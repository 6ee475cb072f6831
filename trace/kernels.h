// kernels.h - the accelerated tracer's arithmetic on many lights, or many
// primitives, at once.
//
// Each kernel does, for every light or primitive, the very operations in
// the very order that the plain search and shading do for one, so every
// number it gives has the same bits. It is written once (kernels_impl.h)
// over lanes of doubles (lanes.h) and built four ways: one lane at a time
// (the scalar twin, the reference the tests compare the others with), two
// (SSE2, every x86-64 processor), four (AVX2, in a file of its own built
// for it) and, for the kernels of a group of rays and over quadrics,
// eight (AVX-512, in a file of its own too). The widest way the processor has is chosen at run
// time; a kernel_path asks for one.
#pragma once

#include "crossp.h"

enum kernel_path {
    KERNELS_BEST = -1,  // chosen at run time
    KERNELS_SCALAR = 0, // one lane
    KERNELS_SSE2 = 1,   // two lanes
    KERNELS_AVX2 = 2,   // four lanes
    KERNELS_AVX512 = 3, // eight lanes for a group of rays, four for the rest
};

// The widest path this processor runs.
int kernel_path_best();
// path itself when this processor runs it, else the widest it runs below
// it; KERNELS_BEST gives kernel_path_best().
int kernel_path_usable(int path);
// "scalar", "sse2", "avx2", "avx512"
const char *kernel_path_name(int path);

// Room for LIGHT_MAX lights or PRIM_MAX primitives (multiples of eight).
constexpr int LIGHT_ROOM = (LIGHT_MAX + 7) / 8 * 8;
constexpr int QUAD_ROOM = (PRIM_MAX + 7) / 8 * 8;

// --- lights -------------------------------------------------------------
//
// For a hit point h with normal n (|n|^2 = n2) seen along the unit
// direction u, and light j at L[j]:
//
//   lv = h - L[j], dl2 = |lv|^2, dist = sqrt(dl2)
//   cn = vcos(n, lv)                      the diffuse cosine
//   ch = vcos(u + lv / dist, n)           the highlight cosine
struct light_pos {
    alignas(32) double x[LIGHT_ROOM];
    alignas(32) double y[LIGHT_ROOM];
    alignas(32) double z[LIGHT_ROOM];
    int n = 0;
};

// The numbers of eight lights at a time side by side, in blocks the owner
// provides (enough for its lights, rounded up to eight), so that a scene's
// few lights touch one short stretch of memory: light j's are field[j % 8]
// of block j / 8.
struct light_geom {
    struct block {
        alignas(64) double lx[8], ly[8], lz[8]; // lv
        double dl2[8], dist[8], cn[8];
        double ch[8]; // only when asked for
    };
    block *b;
    double lx(int j) const { return b[j >> 3].lx[j & 7]; }
    double ly(int j) const { return b[j >> 3].ly[j & 7]; }
    double lz(int j) const { return b[j >> 3].lz[j & 7]; }
    double dl2(int j) const { return b[j >> 3].dl2[j & 7]; }
    double dist(int j) const { return b[j >> 3].dist[j & 7]; }
    double cn(int j) const { return b[j >> 3].cn[j & 7]; }
    double ch(int j) const { return b[j >> 3].ch[j & 7]; }
};

// The positions of the first n lights (n clamped to 0..LIGHT_MAX); the
// rest of the room is zero.
void light_pos_of(light_pos &L, const ligrec *lig, int n);

// Rays and points taken together by the group kernels below: a picture
// tile's width of neighbouring dots (two AVX-512 registers a field, or
// four AVX2 ones).
constexpr int SHADOW_GROUP = 16;

// --- quadrics -----------------------------------------------------------
//
// The quadrics and cones without partners of a scene, side by side in
// index order. Slots past the last are padding that never hits.
struct quad_set {
    alignas(64) double gx[QUAD_ROOM];
    alignas(64) double gy[QUAD_ROOM];
    alignas(64) double gz[QUAD_ROOM];
    alignas(64) double px[QUAD_ROOM];
    alignas(64) double py[QUAD_ROOM];
    alignas(64) double pz[QUAD_ROOM];
    alignas(64) double sub[QUAD_ROOM];   // 1 for a quadric, 0 for a cone
    alignas(64) double index[QUAD_ROOM]; // the primitive's index
    int n = 0;                           // quadrics in use
    int padded = 0;                      // n rounded up to a multiple of eight
};

// Q gets the primitives of pri listed in items (n of them: quadrics and
// cones with no partners, in increasing index order).
void quad_set_of(quad_set &Q, const primrec *pri, const int *items, int n);

// Lexicographic minimum of (squared distance, index): the plain search's
// "strictly smaller, in index order" in any order of trying.
struct pick {
    double d2 = FAR;
    int i = -1;
    vec p;
    void offer(double d, int k, const vec &x)
    {
        if (d < d2 || (d == d2 && i >= 0 && k < i)) {
            d2 = d;
            i = k;
            p = x;
        }
    }
};

// --- shadow searches ----------------------------------------------------
//
// Up to SHADOW_GROUP shadow searches from one light, side by side: ray r
// goes from the light lp along lx/ly/lz[r] = lv toward the point the search
// is for, on primitive hit[r]. Trying a candidate primitive k does, for
// every ray still live, what one search does for it (fast_shadow.cpp's try_k):
// the point of k, dk = |point - lp|^2, and then
//  - k transparent and not the ray's own hit: k dims the ray when
//    dk < dl2 (the caller keeps the list);
//  - otherwise dk < lim blocks the ray (live becomes 0), and a point not
//    blocking is offered to the ray's pick (d2, i, x, y, z; i is -1 while
//    there is none) by pick's rule.
//
// lit_light (below) starts such a batch for the points of a group;
// shadow_end gives the rays still live whose pick is within eps2
// (squared) of their point h.
struct shadow_batch {
    alignas(64) double lx[SHADOW_GROUP], ly[SHADOW_GROUP], lz[SHADOW_GROUP];
    alignas(64) double hx[SHADOW_GROUP], hy[SHADOW_GROUP], hz[SHADOW_GROUP];
    alignas(64) double dl2[SHADOW_GROUP];
    alignas(64) double lim[SHADOW_GROUP];
    alignas(64) double hit[SHADOW_GROUP];
    alignas(64) double live[SHADOW_GROUP]; // 1: not known to be blocked; 0: blocked or unused
    alignas(64) double d2[SHADOW_GROUP], i[SHADOW_GROUP];
    alignas(64) double x[SHADOW_GROUP], y[SHADOW_GROUP], z[SHADOW_GROUP];
    alignas(64) double cell[SHADOW_GROUP];
    vec lp;
    // lit_light's, of the rays it makes live: those without a cell, those
    // whose point lies SHADOW_FAR2 or more (squared) from the light, and
    // the largest distance of a point
    unsigned no_cell, too_far;
    double far_dist;
};

// A light reaches a point only through a point within 1e-5 of it and less
// than FAR (squared) from the light: never one this far (squared) or more.
constexpr double SHADOW_FAR2 = 1.0000001e10;

// What trying a candidate did: the rays it blocked (bit r for ray r) and,
// shifted by SHADOW_GROUP, those it dims.
constexpr unsigned shadow_blocked(unsigned got) { return got & ((1u << SHADOW_GROUP) - 1); }
constexpr unsigned shadow_dimmed(unsigned got) { return got >> SHADOW_GROUP; }

// --- the lights of a group's points ----------------------------------------
//
// Up to SHADOW_GROUP hit points side by side (lit_point gives one, as its
// shading finds it), for their lights one at a time, doing at each point
// what shade() does for a light (shade_impl.h), in its order:
//
//  - lit_light, for light j at lp whose fi_max is fimax: kernels.h's
//    light_geom numbers at each point (lv, dl2 and the point in the
//    shadow batch R, dist, cn and ch in P), and the rays of R begun for
//    the shadow searches toward it (lim, empty picks, each ray's cell of
//    the light's grid of `cells` cells a side: dirgrid_cell, -1 for none);
//    it gives the points among the first n the light can change
//    (light_matters), and only their rays are live;
//  - lit_add then adds to each point of `ok` the light's diffuse and
//    highlight terms (add_light) for fi = f[r] bright.
//
// A colour (r, g, b) is summed in whole numbers kept within the int range
// (cadd). lit_begin takes the points from a[0 .. SHADOW_GROUP - 1] (each
// entry set: the padding is left unread) with no colour yet.
struct lit_point {
    vec h, n, u;         // the point, its normal, the unit ray direction
    double n2;           // |n|^2
    double kd, ks, npow; // of the primitive hit
    double dscale;       // |kd| times the largest channel of k in size
    double hit;          // the primitive hit
    double kr, kg, kb;   // the colour k there
    const double *floor; // the primitive's highlight floors, light by light
};
struct lit_batch {
    alignas(64) double hx[SHADOW_GROUP], hy[SHADOW_GROUP], hz[SHADOW_GROUP];
    alignas(64) double nx[SHADOW_GROUP], ny[SHADOW_GROUP], nz[SHADOW_GROUP];
    alignas(64) double ux[SHADOW_GROUP], uy[SHADOW_GROUP], uz[SHADOW_GROUP];
    alignas(64) double n2[SHADOW_GROUP], kd[SHADOW_GROUP], ks[SHADOW_GROUP];
    alignas(64) double npow[SHADOW_GROUP], dscale[SHADOW_GROUP], hit[SHADOW_GROUP];
    alignas(64) double kr[SHADOW_GROUP], kg[SHADOW_GROUP], kb[SHADOW_GROUP];
    alignas(64) double dist[SHADOW_GROUP], cn[SHADOW_GROUP], ch[SHADOW_GROUP]; // the light's
    alignas(64) double r[SHADOW_GROUP], g[SHADOW_GROUP], b[SHADOW_GROUP];      // the colours
    const double *floor[SHADOW_GROUP];
};

// --- primary rays ---------------------------------------------------------
//
// Up to SHADOW_GROUP rays from one origin o along dx/dy/dz[r], each with
// its pick (d2, i, x, y, z) of the nearest hit so far. Trying primitive k
// offers each ray k's point p at vlength2(o - p), by pick's rule.
// near_begin takes the directions from dir[0 .. SHADOW_GROUP - 1] (every
// one a number) and starts every pick empty.
struct near_batch {
    alignas(64) double dx[SHADOW_GROUP], dy[SHADOW_GROUP], dz[SHADOW_GROUP];
    alignas(64) double d2[SHADOW_GROUP], i[SHADOW_GROUP];
    alignas(64) double x[SHADOW_GROUP], y[SHADOW_GROUP], z[SHADOW_GROUP];
    vec o;
};

// --- rays from many origins ----------------------------------------------
//
// Up to SHADOW_GROUP rays, ray r from ox/oy/oz[r] along dx/dy/dz[r] (the
// mirror and glass rays of a group, each from its own point), each with
// its pick (d2, i, x, y, z) of the nearest hit so far. Trying primitive k
// offers each ray k's point p, crossp's from the ray's own origin (xprep's
// constants worked out lane by lane), at vlength2(o - p), by pick's rule.
// spread_begin takes the rays from org and dir[0 .. SHADOW_GROUP - 1]
// (each entry set: the picks of padding are left unread) and starts every
// pick empty.
struct spread_batch {
    alignas(64) double ox[SHADOW_GROUP], oy[SHADOW_GROUP], oz[SHADOW_GROUP];
    alignas(64) double dx[SHADOW_GROUP], dy[SHADOW_GROUP], dz[SHADOW_GROUP];
    alignas(64) double d2[SHADOW_GROUP], i[SHADOW_GROUP];
    alignas(64) double x[SHADOW_GROUP], y[SHADOW_GROUP], z[SHADOW_GROUP];
};

// The kernels of one path.
struct kernels {
    // the numbers above for the lights of L (ch when highlights is set)
    void (*geometry)(const light_pos &L, const vec &h, const vec &n, double n2, const vec &u,
                     bool highlights, light_geom &g);
    // b offered crossp's point of every quadric of Q for the ray o + t d,
    // at its squared distance from o (nearest_plain's arithmetic)
    void (*nearest)(const quad_set &Q, const vec &o, const vec &d, pick &b);
    // candidate k of the table tab (of a known type; its partners, if it
    // has any, accept its points as checkin does) for the rays of R
    // (above); x holds xprep's constants of the light, glass says it is
    // transparent
    unsigned (*shadow_try)(shadow_batch &R, const primrec *tab, const xconst &x, int k, bool glass);
    // R.live[r] = bit r of rays
    void (*shadow_live)(shadow_batch &R, unsigned rays);
    unsigned (*shadow_end)(const shadow_batch &R, double eps2);
    void (*near_begin)(near_batch &B, const vec *dir);
    // x holds xprep's constants of o; k as for shadow_try
    void (*near_try)(near_batch &B, const primrec *tab, const xconst &x, int k);
    void (*spread_begin)(spread_batch &B, const vec *org, const vec *dir);
    // k as for shadow_try
    void (*spread_try)(spread_batch &B, const primrec *tab, int k);
    void (*lit_begin)(lit_batch &P, const lit_point *a);
    unsigned (*lit_light)(lit_batch &P, shadow_batch &R, const vec &lp, double fimax, int j,
                          int cells, int n);
    void (*lit_add)(lit_batch &P, unsigned ok, const double *f, double bright, int j);
};

// The kernels of path, which must be usable.
const kernels &kernels_of(int path);
