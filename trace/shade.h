// shade.h - the colour seen along a ray.
//
// calc finds the nearest surface the ray hits (lowest index on a tie; a hit
// 100000 units away or more is no hit and shows black), adds for every
// light that a shadow search from the light reaches a diffuse and a
// highlight term, adds the ambient term, and while depth remains follows a
// mirror ray (surf 2) or a Fresnel-weighted reflection and refraction pair
// (surf 3). Every term is truncated to integers on its own; nothing clamps.
//
// In the shadow search a transparent primitive other than the one hit dims
// the light by its trans when its point lies nearer the light than the hit,
// and never blocks it; the primitive hit takes part like an opaque one.
//
// Degenerate terms contribute nothing: a zero normal (a box with sense 0,
// a cone's apex) gets the ambient term only; a highlight whose cosine is no
// number, or zero with npow <= 0, adds nothing; any term whose factor is
// not a finite number adds nothing (cmul). A zero direction hits nothing.
#pragma once

#include "../scene/scene.h"

#include <atomic>

// Stopping a render. While the render driver traces, calc_stop points at
// its stop flag; while that flag is true the shading of a ray (calc, and
// the accelerated tracer alike) returns black at once, so even a dot whose
// ray tree has 2^31 nodes ends quickly, and the driver throws the picture
// away. Secondary rays nest on the stack: a ray that finds its thread's
// stack below calc_stack_floor (the driver sets it per tracing thread;
// null: unchecked) sets calc_deep and the stop flag instead of going deeper.
extern std::atomic<bool> *calc_stop;
extern std::atomic<bool> calc_deep;
extern thread_local const char *calc_stack_floor;

colr &calc(colr &out, const vec &org, const vec &dir, int depth);

// calc's search for the nearest hit: every primitive in index order, the
// smallest squared distance below FAR, the lower index on a tie. Returns
// the primitive's index and its point in h, or -1.
int nearest_plain(const vec &org, const vec &dir, vec &h);

// Normal of p at pt, not normalised, turned by sense. Other types: unchanged.
vec &refl(vec &nrm, const vec &pt, const primrec &p);

// Surface colour of p at pt: plain or one of three two-colour patterns.
// A pat outside 0..3, or a pattern coordinate that is no finite number,
// gives the base colour.
colr &get_color(colr &out, const vec &pt, const primrec &p);
