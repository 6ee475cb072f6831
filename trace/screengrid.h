// screengrid.h - which primitives a primary ray can meet, by tile of the
// picture.
//
// The picture of one eye is cut into tiles of TILE_W x TILE_H dots (as wide
// as a group of dots shaded together, fast.h). A tile lists
// every primitive whose box (bounds.h, widened for rounding) projects onto
// it, with two dots to spare, nearest box first; planes and boxes that
// reach behind the eye are listed everywhere. A primary ray then needs to
// try only its tile's list (and the primitives without a box).
#pragma once

#include "bounds.h"
#include "frame.h"

#include <cstdint>
#include <vector>

constexpr int TILE_W = 16, TILE_H = 8;

struct screengrid {
    int tx = 0, ty = 0;          // tiles across and down; 0: no grid
    std::vector<uint32_t> start; // tile t lists prims[start[t] .. start[t + 1])
    std::vector<uint8_t> prims;
    double near[PRIM_MAX] = {}; // distance from the eye to each listed box; 0 for the rest
};

// Builds g for the picture of frame f seen from eye (f.w x f.h dots, as
// make_eye traces them) over the nitems primitives in items with boxes
// box[i], and the planes (records of tab). No grid when the camera is
// degenerate.
void screengrid_build(screengrid &g, const frame &f, const vec &eye, const primrec *tab,
                      const aabb *box, const int *items, int nitems, const int *planes,
                      int nplanes);

inline int screengrid_tile(const screengrid &g, int x, int y)
{
    return (y / TILE_H) * g.tx + x / TILE_W;
}
