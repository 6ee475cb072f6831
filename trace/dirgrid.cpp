#include "dirgrid.h"

#include "gridlist.h"

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

// The cells of face f that the rays from the origin through each of the
// o.n primitives can use, rects[k * 6 + f] for o.item[k]; a plane's face is
// whole, and masks[i] tells its cells (plane_cells).
void footprints(std::vector<rect> &rects, std::vector<std::vector<uint8_t>> &masks,
                const grid_order &o, const aabb *rel, const primrec *tab, int n)
{
    const size_t ncells = (size_t)6 * n * n;
    rects.resize((size_t)6 * o.n);
    masks.resize(PRIM_MAX);
    for (int k = 0; k < o.n; k++)
        if (o.plane[o.item[k]]) {
            const int i = o.item[k];
            masks[i].resize(ncells);
            for (int f = 0; f < 6; f++)
                plane_cells(masks[i], o.wn[i], tab[i].geom, f, n);
        }
    for (int k = 0; k < o.n; k++)
        for (int f = 0; f < 6; f++)
            rects[(size_t)k * 6 + f] =
                o.plane[o.item[k]] ? rect{0, n - 1, 0, n - 1} : footprint(rel[o.item[k]], f, n);
}

} // namespace

void dirgrid_build(dirgrid &g, const vec &o, int n, const primrec *tab, const aabb *box,
                   const int *items, int nitems, const int *planes, int nplanes, size_t budget)
{
    g.o = o;
    g.n = 0;
    // Order the primitives by distance from o, and take the boxes relative to it
    grid_order ord;
    grid_order_of(ord, g.near, o, tab, box, items, nitems, planes, nplanes);
    const double oo[3] = {o.x, o.y, o.z};
    aabb rel[PRIM_MAX];
    for (int k = 0; k < nitems; k++) {
        const int i = items[k];
        for (int a = 0; a < 3; a++) {
            rel[i].lo[a] = box[i].lo[a] - oo[a];
            rel[i].hi[a] = box[i].hi[a] - oo[a];
        }
    }

    // Find the cells of each primitive, face by face
    std::vector<rect> rects;
    std::vector<std::vector<uint8_t>> masks;
    footprints(rects, masks, ord, rel, tab, n);

    // List the primitives in their cells, unless the lists grow too long
    const bool listed =
        gridlist_build(g.start, g.prims, (size_t)6 * n * n, budget, [&](auto &&visit) {
            for (int k = 0; k < ord.n; k++) {
                const int i = ord.item[k];
                for (int f = 0; f < 6; f++) {
                    const rect &q = rects[(size_t)k * 6 + f];
                    for (int cj = q.j0; cj <= q.j1; cj++)
                        for (int ci = q.i0; ci <= q.i1; ci++) {
                            const size_t c = ((size_t)f * n + cj) * n + ci;
                            if ((!ord.plane[i] || masks[i][c]) && !visit(c, i))
                                return false;
                        }
                }
            }
            return true;
        });
    if (listed)
        g.n = n;
}
