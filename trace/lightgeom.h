// lightgeom.h - what the shading of one hit point needs of every light,
// worked out for all the lights at once.
//
// For a hit point h with normal n (|n|^2 = n2) seen along the unit
// direction u, and light j at L[j]:
//
//   lv = h - L[j], dl2 = |lv|^2, dist = sqrt(dl2)
//   cn = vcos(n, lv)                      the diffuse cosine
//   ch = vcos(u + lv / dist, n)           the highlight cosine
//
// each with the very operations, in the very order, that the plain
// shading (shade_impl.h) uses, so every number has the same bits. The
// lights are taken four (AVX2) or two (SSE2) at a time; every lane does
// the same IEEE operations as the scalar loop, which is kept as their
// twin and reference. Which way is used is a light_path; LIGHTS_BEST is
// the widest the processor has.
#pragma once

#include "../scene/scene.h"

enum light_path {
    LIGHTS_BEST = -1,  // chosen at run time
    LIGHTS_SCALAR = 0, // one light at a time
    LIGHTS_SSE2 = 1,   // two at a time (every x86-64 processor)
    LIGHTS_AVX2 = 2,   // four at a time
};

// The widest path this processor runs.
int light_path_best();
// path itself when this processor runs it, else the widest it runs below
// it; LIGHTS_BEST gives light_path_best().
int light_path_usable(int path);
// "scalar", "sse2", "avx2"
const char *light_path_name(int path);

// Room for LIGHT_MAX lights, a multiple of four.
constexpr int LIGHT_ROOM = (LIGHT_MAX + 3) / 4 * 4;

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

// The positions of the first n lights of sc (n clamped to 0..LIGHT_MAX);
// the rest of the room is zero.
void light_pos_of(light_pos &L, const ligrec *lig, int n);

// Fills g for the lights of L, ch too when highlights is set, on the
// given path (which must be usable).
void light_geometry(int path, const light_pos &L, const vec &h, const vec &n, double n2,
                    const vec &u, bool highlights, light_geom &g);
