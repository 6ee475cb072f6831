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

// Stopping a render. A render's tracers share one trace_stop; while halt()
// is true the shading of a ray returns black at once, so even a dot whose
// ray tree has 2^31 nodes ends quickly, and the render throws the picture
// away. The caller's cancel and the tracers' own stop for nesting too deep
// are separate flags, so neither can erase the other.
struct trace_stop {
    std::atomic<bool> cancel{false};            // asked for by the caller, from any thread
    std::atomic<bool> deep{false};              // rays nest deeper than a thread's stack holds
    const std::atomic<bool> *outside = nullptr; // a flag of the caller's, or null
    bool halt() const
    {
        return cancel.load(std::memory_order_relaxed) || deep.load(std::memory_order_relaxed) ||
               (outside && outside->load(std::memory_order_relaxed));
    }
};

// The literal search: every primitive for the nearest hit, and again for
// every shadow; the reference the accelerated tracer (fast.h) must match.
// Secondary rays nest on the stack: a ray that finds its thread's stack
// below floor (null: unchecked) sets stop->deep instead of going deeper.
struct plain_tracer {
    static constexpr bool shortcuts = false;
    const scene *sc;
    trace_stop *stop = nullptr;  // null: the ray cannot be stopped
    const char *floor = nullptr; // lowest safe stack address, or null
    long long rays = 0, shadow_rays = 0;

    explicit plain_tracer(const scene &s) : sc(&s) {}
    int nearest(const vec &org, const vec &dir, int eye, vec &h) const;
    bool lit(int j, const vec &h, int hit, const vec &lv, double dl2, double &f) const;
};

colr &calc_plain(plain_tracer &tr, colr &out, const vec &org, const vec &dir, int depth);

// The colour seen along a ray of sc, with the plain search.
colr &calc(colr &out, const vec &org, const vec &dir, int depth, const scene &sc);

// calc's search for the nearest hit: every primitive in index order, the
// smallest squared distance below FAR, the lower index on a tie. Returns
// the primitive's index and its point in h, or -1.
int nearest_plain(const scene &sc, const vec &org, const vec &dir, vec &h);

// A light reaches a point when the nearest point its shadow search finds
// lies within this squared distance of it; both tracers test the same.
constexpr double LIT_EPS2 = 1e-10;

// Normal of p at pt, not normalised, turned by sense. Other types: unchanged.
vec &refl(vec &nrm, const vec &pt, const primrec &p);

// Surface colour of p at pt: plain or one of three two-colour patterns.
// A pat outside 0..3, or a pattern coordinate that is no finite number,
// gives the base colour.
colr &get_color(colr &out, const vec &pt, const primrec &p);
