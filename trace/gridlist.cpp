#include "gridlist.h"

#include <algorithm>
#include <cmath>

namespace {

// Distance from o to the nearest point of box b (0 inside it).
double box_distance(const aabb &b, const vec &o)
{
    const double oo[3] = {o.x, o.y, o.z};
    double s = 0;
    for (int a = 0; a < 3; a++) {
        double lo = b.lo[a] - oo[a], hi = b.hi[a] - oo[a];
        double g = lo > 0 ? lo : hi < 0 ? -hi : 0;
        s += g * g;
    }
    return std::sqrt(s);
}

} // namespace

void grid_order_of(grid_order &o, double *near, const vec &origin, const primrec *tab,
                   const aabb *box, const int *items, int nitems, const int *planes, int nplanes)
{
    o.n = 0;
    for (int k = 0; k < nitems; k++) {
        const int i = items[k];
        near[i] = box_distance(box[i], origin);
        o.plane[i] = false;
        o.item[o.n++] = i;
    }
    for (int k = 0; k < nplanes; k++) {
        const int i = planes[k];
        vec w;
        vsub(w, tab[i].pos, origin);
        o.wn[i] = vspro(w, tab[i].geom);
        if (o.wn[i] == 0)
            continue; // rays from the plane itself never meet it
        // 0 where the numbers overflow into no number, which would upset
        // the order below
        const double d = std::fabs(o.wn[i]) / vlength(tab[i].geom) * (1 - 1e-9);
        near[i] = d == d ? d : 0;
        o.plane[i] = true;
        o.item[o.n++] = i;
    }
    std::stable_sort(o.item, o.item + o.n, [&](int x, int y) { return near[x] < near[y]; });
}
