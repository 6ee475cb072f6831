#include "bounds.h"

#include <cmath>

namespace {

constexpr double INF = HUGE_VAL;

bool finite_vec(const vec &v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The box of p's surface, which is also that of its solid for sense > 0.
// Returns 0 when p's numbers are not all finite. A cone whose coefficients
// are all >= 0 is its apex alone, and so is its solid (inside() sums
// terms that cannot cancel); but the points crossp returns for it come from
// a discriminant that rounding lifts to 0 wherever the form nearly
// vanishes, along a whole axis when one coefficient is tiny. As a surface
// (surface = 1) it is therefore left unbounded.
int own_bounds(aabb &b, const primrec &p, bool surface)
{
    if (!finite_vec(p.geom) || !finite_vec(p.pos))
        return 0;
    const double g[3] = {p.geom.x, p.geom.y, p.geom.z};
    const double c[3] = {p.pos.x, p.pos.y, p.pos.z};
    for (int a = 0; a < 3; a++) {
        b.lo[a] = -INF;
        b.hi[a] = INF;
    }
    switch (p.type) {
    case PRIM_BOX:
        for (int a = 0; a < 3; a++) {
            double h = std::fabs(g[a]);
            b.lo[a] = c[a] - h;
            b.hi[a] = c[a] + h;
        }
        break;
    case PRIM_QUADRIC:
    case PRIM_CONE: {
        // an axis is bounded when its coefficient is > 0 and none is < 0
        if (g[0] < 0 || g[1] < 0 || g[2] < 0 || (p.type == PRIM_CONE && surface))
            break;
        for (int a = 0; a < 3; a++) {
            if (!(g[a] > 0))
                continue;
            double r = p.type == PRIM_QUADRIC ? 1 / std::sqrt(g[a]) : 0.0;
            b.lo[a] = c[a] - r;
            b.hi[a] = c[a] + r;
        }
        break;
    }
    default:
        break;
    }
    return 1;
}

} // namespace

int prim_bounds(aabb &b, const scene &sc, int i)
{
    const primrec &p = sc.pri[i];
    if (!own_bounds(b, p, true))
        return 0;
    for (int m = 0; m < p.nmem; m++) {
        const primrec &q = sc.pri[p.mem[m]];
        aabb s;
        if (q.sense <= 0 || !own_bounds(s, q, false))
            continue;
        for (int a = 0; a < 3; a++) {
            b.lo[a] = std::fmax(b.lo[a], s.lo[a]);
            b.hi[a] = std::fmin(b.hi[a], s.hi[a]);
        }
    }
    return 1;
}

bool aabb_finite(const aabb &b)
{
    for (int a = 0; a < 3; a++)
        if (!std::isfinite(b.lo[a]) || !std::isfinite(b.hi[a]))
            return false;
    return true;
}
