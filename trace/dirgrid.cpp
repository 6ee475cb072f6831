#include "dirgrid.h"

#include "../base/vec.h"

#include <algorithm>
#include <cmath>

namespace {

// Directions are counted in face coordinates u = d_b / |d_a|; a box's
// footprint is widened by this much on top of its own widening.
constexpr double PAD = 1e-6;

struct rect {
    int i0, i1, j0, j1; // cells, inclusive; i0 > i1 when empty
};

// Range of p_b / p_a over p_b in [b0, b1], p_a in [m0, m1] with m1 > 0,
// restricted to p_a > 0: [lo, hi], possibly infinite.
void ratio_range(double b0, double b1, double m0, double m1, double &lo, double &hi)
{
    if (m0 > 0) {
        lo = std::fmin(b0 / m0, b0 / m1);
        hi = std::fmax(b1 / m0, b1 / m1);
    } else {
        lo = b0 >= 0 ? b0 / m1 : -HUGE_VAL;
        hi = b1 <= 0 ? b1 / m1 : HUGE_VAL;
    }
    if (lo != lo)
        lo = -HUGE_VAL;
    if (hi != hi)
        hi = HUGE_VAL;
}

int to_cell(double u, int n)
{
    if (!(u > -1))
        return 0;
    if (!(u < 1))
        return n - 1;
    int i = (int)((u + 1) * (0.5 * n));
    return i < 0 ? 0 : i >= n ? n - 1 : i;
}

// The cells of face f (axis a, sign s) that rays from the origin through
// box r (relative to the origin) can use.
rect footprint(const aabb &r, int f, int n)
{
    const int a = f / 2;
    const int b = a == 0 ? 1 : 0, c = a == 2 ? 1 : 2;
    double m0 = r.lo[a], m1 = r.hi[a];
    if (f % 2) {
        m0 = -r.hi[a];
        m1 = -r.lo[a];
    }
    rect q{1, 0, 1, 0};
    if (!(m1 > 0))
        return q;
    double u0, u1, v0, v1;
    ratio_range(r.lo[b], r.hi[b], m0, m1, u0, u1);
    ratio_range(r.lo[c], r.hi[c], m0, m1, v0, v1);
    if (u0 > 1 + PAD || u1 < -1 - PAD || v0 > 1 + PAD || v1 < -1 - PAD)
        return q;
    q.i0 = to_cell(u0 - PAD, n);
    q.i1 = to_cell(u1 + PAD, n);
    q.j0 = to_cell(v0 - PAD, n);
    q.j1 = to_cell(v1 + PAD, n);
    return q;
}

double box_distance(const aabb &r)
{
    double s = 0;
    for (int a = 0; a < 3; a++) {
        double g = r.lo[a] > 0 ? r.lo[a] : r.hi[a] < 0 ? -r.hi[a] : 0;
        s += g * g;
    }
    return std::sqrt(s);
}

// The cells of face f from which a ray from the origin can meet a plane
// at a parameter > 0: where (pos - o).N / N.d > 0 somewhere on the cell.
// N.d is linear in the face coordinates, so a cell's corners decide; the
// corners are shared, so they are worked out once for the face.
void plane_cells(std::vector<uint8_t> &mask, double wn, const vec &nrm, int f, int n)
{
    const int a = f / 2;
    const int b = a == 0 ? 1 : 0, c = a == 2 ? 1 : 2;
    const double N[3] = {nrm.x, nrm.y, nrm.z};
    const double s = f % 2 ? -1.0 : 1.0, step = 2.0 / n;
    const double tol = PAD * (std::fabs(N[0]) + std::fabs(N[1]) + std::fabs(N[2]));
    std::vector<uint8_t> corner((size_t)(n + 1) * (n + 1));
    for (int j = 0; j <= n; j++)
        for (int i = 0; i <= n; i++) {
            double nd = N[a] * s + N[b] * (-1 + i * step) + N[c] * (-1 + j * step);
            corner[(size_t)j * (n + 1) + i] = wn > 0 ? nd > -tol : nd < tol;
        }
    uint8_t *m = mask.data() + (size_t)f * n * n;
    for (int j = 0; j < n; j++)
        for (int i = 0; i < n; i++) {
            const uint8_t *c0 = &corner[(size_t)j * (n + 1) + i], *c1 = c0 + n + 1;
            m[(size_t)j * n + i] = c0[0] | c0[1] | c1[0] | c1[1];
        }
}

} // namespace

void dirgrid_build(dirgrid &g, const vec &o, int n, const primrec *tab, const aabb *box,
                   const int *items, int nitems, const int *planes, int nplanes, size_t budget)
{
    g.o = o;
    g.n = 0;
    const double oo[3] = {o.x, o.y, o.z};
    aabb rel[PRIM_MAX];
    double wn[PRIM_MAX];
    bool isplane[PRIM_MAX];
    int order[PRIM_MAX], norder = 0;
    for (int k = 0; k < nitems; k++) {
        int i = items[k];
        for (int a = 0; a < 3; a++) {
            rel[i].lo[a] = box[i].lo[a] - oo[a];
            rel[i].hi[a] = box[i].hi[a] - oo[a];
        }
        g.near[i] = box_distance(rel[i]);
        isplane[i] = false;
        order[norder++] = i;
    }
    for (int k = 0; k < nplanes; k++) {
        int i = planes[k];
        vec w;
        vsub(w, tab[i].pos, o);
        wn[i] = vspro(w, tab[i].geom);
        if (wn[i] == 0)
            continue; // a ray from the plane itself never meets it
        // a lower bound of the distance to the plane; 0 where the numbers
        // overflow into no number, which would upset the order below
        const double near = std::fabs(wn[i]) / vlength(tab[i].geom) * (1 - 1e-9);
        g.near[i] = near == near ? near : 0;
        isplane[i] = true;
        order[norder++] = i;
    }
    // nearest first, so that every cell's list comes out sorted
    std::stable_sort(order, order + norder, [&](int x, int y) { return g.near[x] < g.near[y]; });

    const size_t ncells = (size_t)6 * n * n;
    std::vector<rect> rects((size_t)6 * norder);
    std::vector<std::vector<uint8_t>> masks(PRIM_MAX);
    for (int k = 0; k < norder; k++)
        if (isplane[order[k]]) {
            const int i = order[k];
            masks[i].resize(ncells);
            for (int f = 0; f < 6; f++)
                plane_cells(masks[i], wn[i], tab[i].geom, f, n);
        }
    for (int k = 0; k < norder; k++)
        for (int f = 0; f < 6; f++)
            rects[(size_t)k * 6 + f] =
                isplane[order[k]] ? rect{0, n - 1, 0, n - 1} : footprint(rel[order[k]], f, n);
    // each item's cells, once to count and once to fill
    auto each_cell = [&](auto &&visit) {
        for (int k = 0; k < norder; k++) {
            const int i = order[k];
            for (int f = 0; f < 6; f++) {
                const rect &q = rects[(size_t)k * 6 + f];
                for (int cj = q.j0; cj <= q.j1; cj++)
                    for (int ci = q.i0; ci <= q.i1; ci++) {
                        const size_t c = ((size_t)f * n + cj) * n + ci;
                        if ((!isplane[i] || masks[i][c]) && !visit(c, i))
                            return false;
                    }
            }
        }
        return true;
    };

    // counted in start[c + 1], then summed into the starts; the filling
    // moves each start[c] on to the end of cell c, shifted back after
    g.start.assign(ncells + 1, 0);
    size_t total = 0;
    if (!each_cell([&](size_t c, int) {
            g.start[c + 1]++;
            return ++total <= budget;
        })) {
        g.start = std::vector<uint32_t>();
        return;
    }
    for (size_t c = 0; c < ncells; c++)
        g.start[c + 1] += g.start[c];
    g.prims.assign(total, 0);
    each_cell([&](size_t c, int i) {
        g.prims[g.start[c]++] = (uint8_t)i;
        return true;
    });
    for (size_t c = ncells; c > 0; c--)
        g.start[c] = g.start[c - 1];
    g.start[0] = 0;
    g.n = n;
}
