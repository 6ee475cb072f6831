#include "bvh.h"

#include <algorithm>
#include <cmath>

namespace {

aabb join(const aabb &a, const aabb &b)
{
    aabb r;
    for (int k = 0; k < 3; k++) {
        r.lo[k] = std::fmin(a.lo[k], b.lo[k]);
        r.hi[k] = std::fmax(a.hi[k], b.hi[k]);
    }
    return r;
}

int build(bvh &t, int first, int count, const aabb *boxes)
{
    int me = t.nnodes++;
    bvhnode &n = t.nodes[me];
    n.box = boxes[t.items[first]];
    for (int i = 1; i < count; i++)
        n.box = join(n.box, boxes[t.items[first + i]]);
    if (count <= 2) {
        n.left = n.right = -1;
        n.first = first;
        n.count = count;
        return me;
    }
    // split at the median centre along the axis where the centres spread most
    double clo[3], chi[3];
    for (int k = 0; k < 3; k++) {
        clo[k] = HUGE_VAL;
        chi[k] = -HUGE_VAL;
    }
    for (int i = 0; i < count; i++) {
        const aabb &b = boxes[t.items[first + i]];
        for (int k = 0; k < 3; k++) {
            double c = 0.5 * (b.lo[k] + b.hi[k]);
            clo[k] = std::fmin(clo[k], c);
            chi[k] = std::fmax(chi[k], c);
        }
    }
    int ax = 0;
    for (int k = 1; k < 3; k++)
        if (chi[k] - clo[k] > chi[ax] - clo[ax])
            ax = k;
    int *it = t.items + first;
    std::nth_element(it, it + count / 2, it + count, [&](int a, int b) {
        return boxes[a].lo[ax] + boxes[a].hi[ax] < boxes[b].lo[ax] + boxes[b].hi[ax];
    });
    int l = build(t, first, count / 2, boxes);
    int r = build(t, first + count / 2, count - count / 2, boxes);
    bvhnode &m = t.nodes[me];
    m.left = l;
    m.right = r;
    m.first = m.count = 0;
    return me;
}

} // namespace

void bvh_build(bvh &t, const int *items, int nitems, const aabb *boxes)
{
    t.nnodes = 0;
    t.nitems = nitems;
    for (int i = 0; i < nitems; i++)
        t.items[i] = items[i];
    if (nitems > 0)
        build(t, 0, nitems, boxes);
}
