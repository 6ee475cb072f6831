// kernels_impl.h - the kernels of kernels.h, written once over a lane type
// L of lanes.h. A file that includes this makes kernels for the lane types
// it is built for (kernels.cpp: scalar and SSE2; kernels_avx2.cpp: AVX2).
//
// Each lane follows the scalar code it stands for operation by operation;
// the comments name that code. Where the scalar code branches, the lanes
// compute both ways and select, which gives the same numbers.
#pragma once

#include "kernels.h"
#include "lanes.h"

namespace {

template <class L>
void geometry_k(const light_pos &P, const vec &h, const vec &n, double n2, const vec &u,
                bool highlights, light_geom &g)
{
    const L hx = L::set1(h.x), hy = L::set1(h.y), hz = L::set1(h.z);
    const L nx = L::set1(n.x), ny = L::set1(n.y), nz = L::set1(n.z);
    const L ux = L::set1(u.x), uy = L::set1(u.y), uz = L::set1(u.z);
    const L vn2 = L::set1(n2);
    for (int j = 0; j < P.n; j += L::N) {
        // lv = h - L; dl2 = vlength2(lv); dist = vlength(lv)
        const L lx = hx - L::load(P.x + j), ly = hy - L::load(P.y + j), lz = hz - L::load(P.z + j);
        const L dl2 = lx * lx + ly * ly + lz * lz;
        const L dist = sqrt(dl2);
        lx.store(g.lx + j), ly.store(g.ly + j), lz.store(g.lz + j);
        dl2.store(g.dl2 + j);
        dist.store(g.dist + j);
        // vcos(n, lv) = vspro(n, lv) / sqrt(vlength2(n) * vlength2(lv))
        ((nx * lx + ny * ly + nz * lz) / sqrt(vn2 * dl2)).store(g.cn + j);
        if (highlights) {
            // b = u + vnorm(lv); vcos(b, n)
            const L bx = ux + lx / dist, by = uy + ly / dist, bz = uz + lz / dist;
            const L b2 = bx * bx + by * by + bz * bz;
            ((bx * nx + by * ny + bz * nz) / sqrt(b2 * vn2)).store(g.ch + j);
        }
    }
}

// crossx's quad_hit for the quadrics k .. k + N - 1 of Q from o along d,
// with kp and c the constants of o: the point, the no-hit marker where
// there is none.
template <class L>
inline void quad_points(const quad_set &Q, int k, const L &kpx, const L &kpy, const L &kpz,
                        const L &c, const L &ox, const L &oy, const L &oz, const L &dx,
                        const L &dy, const L &dz, L &px, L &py, L &pz)
{
    const L zero = L::set1(0.0), eps = L::set1(HIT_EPS), far = L::set1(FAR);
    const L gx = L::load(Q.gx + k), gy = L::load(Q.gy + k), gz = L::load(Q.gz + k);
    // a = g.x d.x^2 + g.y d.y^2 + g.z d.z^2; b = kp . d; disc = b^2 - a c
    const L a = gx * (dx * dx) + gy * (dy * dy) + gz * (dz * dz);
    const L b = kpx * dx + kpy * dy + kpz * dz;
    const L disc = b * b - a * c;
    // no hit unless disc >= 0 and a != 0
    const auto some = but_not(ge(disc, zero), eq(a, zero));
    if (!bits(some)) {
        px = py = pz = far;
        return;
    }
    // the square root only where it is used (the lanes left out would
    // take no number's slow way in the scalar twin)
    const L s = sqrt(select(some, disc, zero)), nb = neg(b);
    const L t1 = (nb - s) / a, t2 = (nb + s) / a;
    // t1 when it is beyond HIT_EPS, else t2 when it is
    const auto h1 = gt(t1, eps), h2 = gt(t2, eps);
    const L t = select(h1, t1, t2);
    const auto hit = both(some, either(h1, h2));
    // o + d t
    px = select(hit, ox + dx * t, far);
    py = select(hit, oy + dy * t, far);
    pz = select(hit, oz + dz * t, far);
}

// The lanes' best picks, offered to b in lane order (each lane's own is
// the first of its smallest in index order, as b's rule wants).
template <class L>
inline void offer_lanes(pick &b, const L &d2, const L &idx, const L &x, const L &y, const L &z)
{
    alignas(32) double D[L::N], I[L::N], X[L::N], Y[L::N], Z[L::N];
    d2.store(D), idx.store(I), x.store(X), y.store(Y), z.store(Z);
    for (int l = 0; l < L::N; l++)
        if (I[l] >= 0)
            b.offer(D[l], (int)I[l], vec{X[l], Y[l], Z[l]});
}

// nearest over Q, the constants of o worked out as xprep does
template <class L>
void nearest_k(const quad_set &Q, const vec &o, const vec &d, pick &b)
{
    const L ox = L::set1(o.x), oy = L::set1(o.y), oz = L::set1(o.z);
    const L dx = L::set1(d.x), dy = L::set1(d.y), dz = L::set1(d.z);
    L bd = L::set1(FAR), bi = L::set1(-1.0), bx = L::set1(0.0), by = bx, bz = bx;
    for (int k = 0; k < Q.padded; k += L::N) {
        // xprep: pp = o - pos; kp = g pp; c = g.x pp.x^2 + ... - (1 or 0)
        const L gx = L::load(Q.gx + k), gy = L::load(Q.gy + k), gz = L::load(Q.gz + k);
        const L ppx = ox - L::load(Q.px + k), ppy = oy - L::load(Q.py + k),
                ppz = oz - L::load(Q.pz + k);
        const L kpx = gx * ppx, kpy = gy * ppy, kpz = gz * ppz;
        const L c = gx * (ppx * ppx) + gy * (ppy * ppy) + gz * (ppz * ppz) - L::load(Q.sub + k);
        L px, py, pz;
        quad_points<L>(Q, k, kpx, kpy, kpz, c, ox, oy, oz, dx, dy, dz, px, py, pz);
        // vlength2(o - p), kept where strictly smaller: lanes meet their
        // quadrics in index order
        const L qx = ox - px, qy = oy - py, qz = oz - pz;
        const L d2 = qx * qx + qy * qy + qz * qz;
        const auto better = lt(d2, bd);
        bd = select(better, d2, bd);
        bi = select(better, L::load(Q.index + k), bi);
        bx = select(better, px, bx), by = select(better, py, by), bz = select(better, pz, bz);
    }
    offer_lanes<L>(b, bd, bi, bx, by, bz);
}

template <class L>
constexpr kernels kernels_for()
{
    return kernels{geometry_k<L>, nearest_k<L>};
}

} // namespace
