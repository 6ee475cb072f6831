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
//
// Everything crossp computes from the origin alone is gathered in an
// xconst by xprep; crossx does the rest. Many rays share an origin (the
// eye, a light), so the tracer prepares those once and calls crossx, with
// the very same operations as crossp and therefore the same bits.
#pragma once

#include "../scene/scene.h"

// p is a record of the table tab, which holds its partners. The result r
// must not be o or d. A type outside 1..4 leaves r unchanged.
vec &crossp(vec &r, const vec &o, const vec &d, const primrec &p, const primrec *tab);

// 1 when x is accepted by every partner of p (records of tab), or is the
// marker; otherwise x becomes the marker and 0 is returned.
int checkin(vec &x, const primrec &p, const primrec *tab);

// 1 when x lies in p's solid (sense > 0) or its complement, boundary
// included; 0 for a type outside 1..4.
int inside(const vec &x, const primrec &p);

inline vec nohit() { return vec{FAR, FAR, FAR}; }

// What crossp derives from the origin O and the primitive alone.
struct xconst {
    vec pp;                   // P = O - pos (box)
    vec kp;                   // Kx Px, Ky Py, Kz Pz (quadric and cone)
    double c;                 // Kx Px^2 + Ky Py^2 + Kz Pz^2 - k (quadric and cone)
    double wn;                // (pos - O) . N (plane)
    double num[6];            // numerators of the six face parameters (box)
    unsigned char tryface[6]; // which box faces the origin lets be tried
};

void xprep(xconst &k, const vec &o, const primrec &p);
vec &crossx(vec &r, const vec &o, const vec &d, const primrec &p, const xconst &k,
            const primrec *tab);
