// kernels.h - the accelerated tracer's arithmetic on many lights, or many
// primitives, at once.
//
// Each kernel does, for every light or primitive, the very operations in
// the very order that the plain search and shading do for one, so every
// number it gives has the same bits. It is written once (kernels_impl.h)
// over lanes of doubles (lanes.h) and built three ways: one lane at a time
// (the scalar twin, the reference the tests compare the others with), two
// (SSE2, every x86-64 processor) and four (AVX2, in a file of its own built
// for it). The widest way the processor has is chosen at run time; a
// kernel_path asks for one.
#pragma once

#include "crossp.h"

enum kernel_path {
    KERNELS_BEST = -1,  // chosen at run time
    KERNELS_SCALAR = 0, // one lane
    KERNELS_SSE2 = 1,   // two lanes
    KERNELS_AVX2 = 2,   // four lanes
};

// The widest path this processor runs.
int kernel_path_best();
// path itself when this processor runs it, else the widest it runs below
// it; KERNELS_BEST gives kernel_path_best().
int kernel_path_usable(int path);
// "scalar", "sse2", "avx2"
const char *kernel_path_name(int path);

// Room for LIGHT_MAX lights or PRIM_MAX primitives, a multiple of four.
constexpr int LIGHT_ROOM = (LIGHT_MAX + 3) / 4 * 4;
constexpr int QUAD_ROOM = (PRIM_MAX + 3) / 4 * 4;

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

struct light_geom {
    alignas(32) double lx[LIGHT_ROOM]; // lv
    alignas(32) double ly[LIGHT_ROOM];
    alignas(32) double lz[LIGHT_ROOM];
    alignas(32) double dl2[LIGHT_ROOM];
    alignas(32) double dist[LIGHT_ROOM];
    alignas(32) double cn[LIGHT_ROOM];
    alignas(32) double ch[LIGHT_ROOM]; // only when asked for
};

// The positions of the first n lights (n clamped to 0..LIGHT_MAX); the
// rest of the room is zero.
void light_pos_of(light_pos &L, const ligrec *lig, int n);

// --- quadrics -----------------------------------------------------------
//
// The quadrics and cones without partners of a scene, side by side in
// index order. Slots past the last are padding that never hits.
struct quad_set {
    alignas(32) double gx[QUAD_ROOM];
    alignas(32) double gy[QUAD_ROOM];
    alignas(32) double gz[QUAD_ROOM];
    alignas(32) double px[QUAD_ROOM];
    alignas(32) double py[QUAD_ROOM];
    alignas(32) double pz[QUAD_ROOM];
    alignas(32) double sub[QUAD_ROOM];   // 1 for a quadric, 0 for a cone
    alignas(32) double index[QUAD_ROOM]; // the primitive's index
    int n = 0;      // quadrics in use
    int padded = 0; // n rounded up to a multiple of four
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

// The kernels of one path.
struct kernels {
    // the numbers above for the lights of L (ch when highlights is set)
    void (*geometry)(const light_pos &L, const vec &h, const vec &n, double n2, const vec &u,
                     bool highlights, light_geom &g);
    // b offered crossp's point of every quadric of Q for the ray o + t d,
    // at its squared distance from o (nearest_plain's arithmetic)
    void (*nearest)(const quad_set &Q, const vec &o, const vec &d, pick &b);
};

// The kernels of path, which must be usable.
const kernels &kernels_of(int path);
