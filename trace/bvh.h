// bvh.h - a bounding volume hierarchy over the primitives with finite boxes.
//
// Built once per picture from prim_bounds; a binary tree whose leaves hold
// one or two primitives, split at the median of the box centres along the
// widest axis. Fixed capacity: no allocation.
#pragma once

#include "bounds.h"

struct bvhnode {
    aabb box;
    int left, right;  // children; -1 for a leaf
    int first, count; // leaf: bvh.items[first .. first + count)
};

struct bvh {
    bvhnode nodes[2 * PRIM_MAX];
    int nnodes;
    int items[PRIM_MAX];
    int nitems;
};

// Builds the tree over the nitems primitive indices in items (kept in the
// tree's order) with their boxes in boxes[index].
void bvh_build(bvh &t, const int *items, int nitems, const aabb *boxes);
