// gridlist.h - what the picture's tiles (screengrid.h) and the direction
// grids (dirgrid.h) share: the primitives in order of distance from the
// grid's origin, and the cells' lists kept in one array.
//
//   grid_order o;
//   grid_order_of(o, g.near, origin, tab, box, items, nitems, planes, nplanes);
//   gridlist_build(g.start, g.prims, ncells, budget, [&](auto &&visit) {
//       for each primitive i of o.item, for each of its cells c:
//           if (!visit(c, i)) return false;
//       return true;
//   });
//
// Visiting the primitives nearest first makes every cell's list come out
// nearest first, which lets a search stop at the first box beyond its best
// hit.
#pragma once

#include "bounds.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The primitives a grid places, nearest its origin first (a stable sort:
// equal distances keep the order they were given in).
struct grid_order {
    int item[PRIM_MAX];   // the primitives, nearest first
    int n;                // how many
    bool plane[PRIM_MAX]; // placed as a plane, not by its box
    double wn[PRIM_MAX];  // a plane's (pos - origin) . N
};

// o gets the nitems primitives in items with boxes box[i] and the nplanes
// planes in planes (records of tab, with finite numbers). near[i] gets
// each one's distance from origin: that of its box, or a lower bound of
// that of the plane. A plane through the origin is left out: rays from a
// plane never meet it.
void grid_order_of(grid_order &o, double *near, const vec &origin, const primrec *tab,
                   const aabb *box, const int *items, int nitems, const int *planes, int nplanes);

// The lists of ncells cells in one array: cell c lists prims[start[c] ..
// start[c + 1]), in the order each_cell visits. each_cell(visit) calls
// visit(c, i) for every cell c of every primitive i and stops, returning
// false, when visit does; it is called twice, to count and to fill, and
// must visit the same both times. Gives up (start emptied, false) when the
// lists would hold more than budget entries.
template <class EachCell>
bool gridlist_build(std::vector<uint32_t> &start, std::vector<uint8_t> &prims, size_t ncells,
                    size_t budget, EachCell &&each_cell)
{
    // Count each cell's entries in start[c + 1]
    start.assign(ncells + 1, 0);
    size_t total = 0;
    if (!each_cell([&](size_t c, int) {
            start[c + 1]++;
            return ++total <= budget;
        })) {
        start = std::vector<uint32_t>();
        return false;
    }
    // Sum the counts into the starts
    for (size_t c = 0; c < ncells; c++)
        start[c + 1] += start[c];
    // Fill the lists, each start[c] moving on to the end of cell c ...
    prims.assign(total, 0);
    each_cell([&](size_t c, int i) {
        prims[start[c]++] = (uint8_t)i;
        return true;
    });
    // ... and shift the starts back
    for (size_t c = ncells; c > 0; c--)
        start[c] = start[c - 1];
    start[0] = 0;
    return true;
}
