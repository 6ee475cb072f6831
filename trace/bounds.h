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
// The boxes are exact in real arithmetic; callers widen them to cover the
// rounding of the hit points crossp computes (fast_prep.cpp).
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
