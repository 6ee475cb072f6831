// crossp.h - where a ray first meets one primitive, with group (CSG)
// acceptance.
//
// A ray is an origin O and a direction D of any non-zero length; a hit
// needs a parameter t > HIT_EPS. crossp returns the hit point O + t*D or the
// no-hit marker (FAR, FAR, FAR); a point on a grouped primitive counts only
// where it lies, boundary included, in the solid (or complement, by sense)
// of every partner. Choosing the nearest primitive is the caller's job.
//
// Divisions by zero have defined results: a ray parallel to a plane misses
// it, a box face is not tried along a direction with no component on its
// axis, and a quadric test with a = 0 (a ray along a cylinder's axis or a
// cone's asymptote) or a discriminant that is no number misses.
#pragma once

#include "../scene/scene.h"

// The result r must not be o or d. A type outside 1..4 leaves r unchanged.
vec &crossp(vec &r, const vec &o, const vec &d, const primrec &p);

// 1 when x is accepted by every partner of p (or is the marker); otherwise
// x becomes the marker and 0 is returned.
int checkin(vec &x, const primrec &p);

// 1 when x lies in p's solid (sense > 0) or its complement, boundary
// included; 0 for a type outside 1..4.
int inside(const vec &x, const primrec &p);

inline vec nohit() { return vec{FAR, FAR, FAR}; }
