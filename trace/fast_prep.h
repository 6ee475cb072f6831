// fast_prep.h - what fast_prepare works out for one picture, and the box
// tests the searches share. Only the accelerated tracer's own files
// (fast*.cpp) include this; everyone else sees fast.h.
//
// A fast_prep is made in three steps (fast.h): fast_prepare_begin sets the
// scope, the boxes, the shading shortcuts and the small-scene search;
// fast_prepare_grid then fills one eye or one light each; fast_prepare_end
// drops the light grids beyond the budget. After that it is read only,
// shared by every tracing thread.
#pragma once

#include "bvh.h"
#include "crossx.h"
#include "dirgrid.h"
#include "fast.h"
#include "screengrid.h"

#include <cmath>
#include <vector>

// Coordinates beyond this keep the plain search (see fast.h).
constexpr double FAST_RANGE = 1e8;
// Boxes are widened by FAST_REL times the scale of the numbers involved:
// far more than the rounding of any hit point crossp computes.
constexpr double FAST_REL = 1e-6;

// The scene prepared for and the range within which the search is sure.
struct prep_scope {
    const scene *sc;    // the scene prepared for
    const primrec *pri; // its table
    int primmx;
    frame fr;     // the eyes'
    double scale; // largest finite coordinate of boxes, eyes, lights
    double wide;  // how far the boxes are widened
    double reach; // rays from origins farther out use the plain search
};

// The primitives' boxes, the tree over them, and which primitives each
// search tries whatever the direction of its ray.
struct prep_boxes {
    aabb box[PRIM_MAX];   // widened by wide; the tree is built over these
    bool boxed[PRIM_MAX]; // box holds the primitive's hits
    bvh tree;             // over the primitives with finite boxes
    int loose[PRIM_MAX];  // the others, for rays from any origin
    int nloose;
    int unbound[PRIM_MAX]; // without a finite limit: every grid's rays try them
    int nunbound;
    int planes[PRIM_MAX]; // planes without a finite limit: grids place them
    int nplanes;
    int gridded[PRIM_MAX]; // the grids place these by their boxes
    int ngridded;
    // For a primitive k with a finite box: the others whose boxes meet
    // its own grown by wide, or that have none, in
    // meets[meet_from[k] .. meet_to[k]) (fast_near.cpp's nearest_from);
    // meet_from[k] is -1 for the others.
    std::vector<uint8_t> meets;
    int meet_from[PRIM_MAX], meet_to[PRIM_MAX];
};

// What one eye gives its primary rays.
struct prep_eye {
    xconst x[PRIM_MAX];         // crossp's constants of the eye, by primitive
    screengrid tiles;           // the picture's tiles' lists
    dirgrid dirs;               // by direction, only where the picture has no tiles
    double margin;              // box widening for rays from the eye
    double far_tiles[PRIM_MAX]; // lower bounds (fast_prep.cpp) of the tiles' lists
    double far_dirs[PRIM_MAX];  // and of the direction lists
};

// What each light gives its shadow searches.
struct prep_lights {
    light_pos pos; // the positions, for kernels.h
    // crossp's constants, by light then primitive: sized to the scene, so
    // that only what is used is touched (fresh pages are dear)
    std::vector<xconst> x;
    std::vector<dirgrid> grid; // each light's direction grid (n 0: none)
    double margin[LIGHT_MAX];  // box widening for rays from each light
    double fimax[LIGHT_MAX];   // fast_tracer::fi_max
};

// The shading's shortcuts (shade_impl.h).
struct prep_shading {
    std::vector<double> hlfloor; // fast_tracer::highlight_floors, by primitive then light
    unsigned bits[PRIM_MAX];     // fast_tracer::bits
};

// A small scene: every secondary ray tries every primitive, the quadrics
// and cones without partners side by side in Q, the others one by one.
struct prep_small {
    bool whole;  // the scene is small
    bool spread; // small enough for a group's rays to try every primitive
    quad_set Q;
    int rest[PRIM_MAX];
    int nrest;
};

struct fast_prep {
    prep_scope scope;
    prep_boxes boxes;
    prep_eye eye[2];
    prep_lights lights;
    prep_shading shading;
    prep_small small;
    int path;         // the kernel_path used
    const kernels *K; // its kernels
    size_t budget;    // entries all the grids may hold
};

namespace fast_detail {

// The largest component of v in size; a component that is no number counts
// as infinite: out of every range.
inline double absmax(const vec &v)
{
    const double x = std::fabs(v.x), y = std::fabs(v.y), z = std::fabs(v.z);
    if (x != x || y != y || z != z)
        return HUGE_VAL;
    const double m = x > y ? x : y;
    return m > z ? m : z;
}

// The per-ray numbers the box tests need. Boxes are kept widened by
// scope.wide, enough for every origin within the scene's scale; a ray from
// farther out widens them by extra on top.
struct rayinfo {
    double o[3], inv[3];
    double extra;
    double margin; // the whole widening this ray needs
    double dlen;
};

inline void ray_setup(const fast_prep &S, rayinfo &ri, const vec &o, const vec &d, double dlen)
{
    ri.o[0] = o.x, ri.o[1] = o.y, ri.o[2] = o.z;
    // 1/0 is infinite: such an axis then rules out exactly the origins
    // outside its slab, and a limit that makes no number constrains nothing
    ri.inv[0] = 1 / d.x;
    ri.inv[1] = 1 / d.y;
    ri.inv[2] = 1 / d.z;
    ri.margin = FAST_REL * (absmax(o) + S.scope.scale);
    ri.extra = ri.margin > S.scope.wide ? ri.margin - S.scope.wide : 0.0;
    ri.dlen = dlen;
}

// Whether the ray meets box b (already widened) for some t in [0, t1];
// tn is then where it enters.
inline bool hitbox(const aabb &b, const rayinfo &r, double t1, double &tn)
{
    double t0 = 0;
    for (int a = 0; a < 3; a++) {
        double ta = (b.lo[a] - r.extra - r.o[a]) * r.inv[a];
        double tb = (b.hi[a] + r.extra - r.o[a]) * r.inv[a];
        if (ta > tb) {
            double t = ta;
            ta = tb;
            tb = t;
        }
        t0 = ta > t0 ? ta : t0;
        t1 = tb < t1 ? tb : t1;
    }
    tn = t0;
    return t0 <= t1;
}

} // namespace fast_detail
