// bounds.h - axis-aligned boxes that hold every point crossp can return
// for a primitive.
//
// A primitive's box is that of its own surface (a box's faces, an
// ellipsoid), cut down to the boxes of its partners whose solid is bounded
// (a point on a grouped primitive must lie in every partner of sense > 0;
// the solid of a cone whose coefficients are all >= 0 is its apex).
// Planes, cylinders, hyperboloids, cones and complements bound nothing as
// surfaces: an axis they leave open has infinite limits. A primitive whose
// numbers are not all finite gets no box at all.
//
// The boxes are exact in real arithmetic; callers widen them (slab_hit's
// margin) to cover the rounding of the hit points crossp computes.
#pragma once

#include "../scene/scene.h"

struct aabb {
    double lo[3], hi[3];
};

// For primitive i of sc: 0 when it can be anywhere (no finite box); 1
// when b holds its hits, possibly with infinite limits on some axes.
int prim_bounds(aabb &b, const scene &sc, int i);

// Whether all six limits are finite.
bool aabb_finite(const aabb &b);

// The ray o + t d, t in [t0, t1], against b widened by m on every side.
// On a hit, tn is the entry parameter (>= t0). inv holds 1/d.
bool slab_hit(const aabb &b, double m, const vec &o, const vec &d, const double inv[3], double t0,
              double t1, double &tn);
