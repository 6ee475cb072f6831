// dirgrid.h - which primitives lie in which direction from a fixed point.
//
// For an origin that many rays share (an eye, a light), the directions
// around it are split like the faces of a cube, each face into n x n cells.
// A cell lists every primitive whose box (bounds.h, already widened for
// rounding) some ray from the origin through that cell can meet, nearest
// box first. A ray from the origin then needs to try only its cell's list
// (and the primitives without a box). Boxes may have infinite limits.
#pragma once

#include "bounds.h"

#include <cstdint>
#include <vector>

struct dirgrid {
    vec o;
    int n = 0;                   // cells per face side; 0: no grid
    std::vector<uint32_t> start; // cell c lists prims[start[c] .. start[c + 1])
    std::vector<uint8_t> prims;
    double near[PRIM_MAX] = {}; // distance from o to each listed box; 0 for the rest
};

// Builds g for origin o over the nitems primitives in items with boxes
// box[i], and the nplanes planes in planes (records of tab: planes with
// finite numbers). Gives up (g.n = 0) when the lists would pass budget
// entries.
void dirgrid_build(dirgrid &g, const vec &o, int n, const primrec *tab, const aabb *box,
                   const int *items, int nitems, const int *planes, int nplanes, size_t budget);

// The cell of direction d, or -1 for a direction with no largest
// component (zero, or not a number) or one too short to scale.
inline int dirgrid_cell(const dirgrid &g, const vec &d)
{
    const double ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    int face;
    double m, u, v;
    if (ax >= ay && ax >= az) {
        face = d.x > 0 ? 0 : 1, m = ax, u = d.y, v = d.z;
    } else if (ay >= az) {
        face = d.y > 0 ? 2 : 3, m = ay, u = d.x, v = d.z;
    } else {
        face = d.z > 0 ? 4 : 5, m = az, u = d.x, v = d.y;
    }
    // face coordinates u / m, v / m; the cells are widened far more than
    // the rounding of the reciprocal, which a subnormal m overflows
    const double h = 0.5 * g.n, rm = 1 / m;
    if (!(m > 0) || !(m < HUGE_VAL) || !(rm < HUGE_VAL) || u != u || v != v)
        return -1;
    int i = (int)((u * rm + 1) * h), j = (int)((v * rm + 1) * h);
    i = i < 0 ? 0 : i >= g.n ? g.n - 1 : i;
    j = j < 0 ? 0 : j >= g.n ? g.n - 1 : j;
    return (face * g.n + j) * g.n + i;
}
