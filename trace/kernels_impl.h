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

// For the small helpers below, which every kernel calls per lane chunk.
#define LANES_INLINE __attribute__((always_inline)) inline

template <class L>
void geometry_k(const light_pos &P, const vec &h, const vec &n, double n2, const vec &u,
                bool highlights, light_geom &g)
{
    const L hx = L::set1(h.x), hy = L::set1(h.y), hz = L::set1(h.z);
    const L nx = L::set1(n.x), ny = L::set1(n.y), nz = L::set1(n.z);
    const L ux = L::set1(u.x), uy = L::set1(u.y), uz = L::set1(u.z);
    const L vn2 = L::set1(n2);
    static_assert(8 % L::N == 0, "a block holds whole lanes");
    for (int j = 0; j < P.n; j += L::N) {
        light_geom::block &o = g.b[j / 8];
        const int k = j % 8;
        // lv = h - L; dl2 = vlength2(lv); dist = vlength(lv)
        const L lx = hx - L::load(P.x + j), ly = hy - L::load(P.y + j), lz = hz - L::load(P.z + j);
        const L dl2 = lx * lx + ly * ly + lz * lz;
        const L dist = sqrt(dl2);
        lx.store(o.lx + k), ly.store(o.ly + k), lz.store(o.lz + k);
        dl2.store(o.dl2 + k);
        dist.store(o.dist + k);
        // vcos(n, lv) = vspro(n, lv) / sqrt(vlength2(n) * vlength2(lv))
        ((nx * lx + ny * ly + nz * lz) / sqrt(vn2 * dl2)).store(o.cn + k);
        if (highlights) {
            // b = u + vnorm(lv); vcos(b, n)
            const L bx = ux + lx / dist, by = uy + ly / dist, bz = uz + lz / dist;
            const L b2 = bx * bx + by * by + bz * bz;
            ((bx * nx + by * ny + bz * nz) / sqrt(b2 * vn2)).store(o.ch + k);
        }
    }
}

// inside(), lane by lane: whether the points lie in q's solid (sense > 0)
// or its complement, boundary included.
template <class L>
inline auto inside_lanes(const primrec &q, const L &px, const L &py, const L &pz)
{
    const L zero = L::set1(0.0);
    const L gx = L::set1(q.geom.x), gy = L::set1(q.geom.y), gz = L::set1(q.geom.z);
    // v = x - pos
    const L vx = px - L::set1(q.pos.x), vy = py - L::set1(q.pos.y), vz = pz - L::set1(q.pos.z);
    const bool solid = q.sense > 0;
    switch (q.type) {
    case PRIM_PLANE: {
        const L s = vx * gx + vy * gy + vz * gz;
        return solid ? le(s, zero) : ge(s, zero);
    }
    case PRIM_BOX:
        if (solid)
            return both(both(both(le(neg(gx), vx), le(vx, gx)), both(le(neg(gy), vy), le(vy, gy))),
                        both(le(neg(gz), vz), le(vz, gz)));
        return either(
            either(either(le(vx, neg(gx)), ge(vx, gx)), either(le(vy, neg(gy)), ge(vy, gy))),
            either(le(vz, neg(gz)), ge(vz, gz)));
    case PRIM_QUADRIC:
    case PRIM_CONE: {
        const L k = L::set1(q.type == PRIM_QUADRIC ? 1.0 : 0.0);
        const L v = gx * (vx * vx) + gy * (vy * vy) + gz * (vz * vz);
        return solid ? le(v, k) : ge(v, k);
    }
    default:
        return lt(zero, zero);
    }
}

// checkin, lane by lane, for points of p (a record of tab with partners):
// the marker passes, any other point must lie in every partner.
template <class L>
LANES_INLINE auto accepted(const primrec &p, const primrec *tab, const L &px, const L &py,
                           const L &pz)
{
    auto in = eq(L::set1(0.0), L::set1(0.0)); // every lane
    for (int i = 0; i < p.nmem; i++)
        in = both(in, inside_lanes<L>(tab[p.mem[i]], px, py, pz));
    return either(ge(px, L::set1(FAR)), in);
}

// crossx's quad_hit, lane by lane, for quadrics g with the constants kp
// and c of o, from o along d: the point, the no-hit marker where there is
// none. cp, when not null, is the primitive, with partners in tab: a root
// is taken only where checkin accepts its point.
template <class L>
LANES_INLINE void quad_points(const L &gx, const L &gy, const L &gz, const L &kpx, const L &kpy,
                              const L &kpz, const L &c, const L &ox, const L &oy, const L &oz,
                              const L &dx, const L &dy, const L &dz, L &px, L &py, L &pz,
                              const primrec *cp = nullptr, const primrec *tab = nullptr)
{
    const L zero = L::set1(0.0), eps = L::set1(HIT_EPS), far = L::set1(FAR);
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
    const auto h1 = both(some, gt(t1, eps)), h2 = both(some, gt(t2, eps));
    if (cp) {
        // t1's point where it is beyond HIT_EPS and accepted, else t2's
        // where it is beyond HIT_EPS and accepted
        const L x1 = ox + dx * t1, y1 = oy + dy * t1, z1 = oz + dz * t1;
        const L x2 = ox + dx * t2, y2 = oy + dy * t2, z2 = oz + dz * t2;
        const auto a1 = both(h1, accepted<L>(*cp, tab, x1, y1, z1));
        const auto a2 = both(h2, accepted<L>(*cp, tab, x2, y2, z2));
        px = select(a1, x1, select(a2, x2, far));
        py = select(a1, y1, select(a2, y2, far));
        pz = select(a1, z1, select(a2, z2, far));
        return;
    }
    // t1 when it is beyond HIT_EPS, else t2 when it is
    const L t = select(h1, t1, t2);
    const auto hit = either(h1, h2);
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
        quad_points<L>(gx, gy, gz, kpx, kpy, kpz, c, ox, oy, oz, dx, dy, dz, px, py, pz);
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

// crossx's plane_hit, lane by lane, for a plane with normal g and the
// constant wn of o, from o along d; cp as for quad_points.
template <class L>
LANES_INLINE void plane_points(const L &gx, const L &gy, const L &gz, const L &wn, const L &ox,
                               const L &oy, const L &oz, const L &dx, const L &dy, const L &dz,
                               L &px, L &py, L &pz, const primrec *cp = nullptr,
                               const primrec *tab = nullptr)
{
    const L zero = L::set1(0.0), eps = L::set1(HIT_EPS), far = L::set1(FAR);
    // nd = g . d; parallel (nd = 0) misses; t = wn / nd must pass HIT_EPS
    const L nd = gx * dx + gy * dy + gz * dz;
    const L t = wn / nd;
    auto hit = but_not(gt(t, eps), eq(nd, zero));
    const L x = ox + dx * t, y = oy + dy * t, z = oz + dz * t;
    if (cp)
        hit = both(hit, accepted<L>(*cp, tab, x, y, z));
    px = select(hit, x, far);
    py = select(hit, y, far);
    pz = select(hit, z, far);
}

// crossx's box_hit, lane by lane, for box p (a record of tab) with the
// constants k of o, from o along d: the faces in box_hit's order, each
// taken where its t passes HIT_EPS, beats the best so far (face 0 needs
// not), its point lies on the face and, for a box with partners, checkin
// accepts it. Out of line: boxes are rarer than the rest, and it is long.
template <class L>
__attribute__((noinline)) void box_points(const primrec &p, const primrec *tab, const xconst &k,
                                          const L &ox, const L &oy, const L &oz, const L &dx,
                                          const L &dy, const L &dz, L &px, L &py, L &pz)
{
    const L zero = L::set1(0.0), eps = L::set1(HIT_EPS), far = L::set1(FAR);
    const L g[3] = {L::set1(p.geom.x), L::set1(p.geom.y), L::set1(p.geom.z)};
    const L pp[3] = {L::set1(k.pp.x), L::set1(k.pp.y), L::set1(k.pp.z)};
    const L d[3] = {dx, dy, dz};
    L best = far;
    px = py = pz = far;
    for (int f = 0; f < 6; f++) {
        if (!k.tryface[f])
            continue;
        // face f lies across axis a; u and v are the other two (box_hit's)
        const int a = f / 2, u = a == 1 ? 0 : 1, v = a == 2 ? 0 : 2;
        const L t = L::set1(k.num[f]) / d[a];
        auto take = but_not(gt(t, eps), eq(d[a], zero));
        if (f > 0)
            take = both(take, lt(t, best));
        const L qu = pp[u] + t * d[u], qv = pp[v] + t * d[v];
        take = both(take, both(le(neg(g[u]), qu), le(qu, g[u])));
        take = both(take, both(le(neg(g[v]), qv), le(qv, g[v])));
        const L x = ox + dx * t, y = oy + dy * t, z = oz + dz * t;
        if (p.nmem > 0)
            take = both(take, accepted<L>(p, tab, x, y, z));
        best = select(take, t, best);
        px = select(take, x, px);
        py = select(take, y, py);
        pz = select(take, z, pz);
    }
    // no face: the marker (as is a face at exactly FAR)
    const auto none = eq(best, far);
    px = select(none, far, px), py = select(none, far, py), pz = select(none, far, pz);
}

// The point of a plane, box, quadric or cone (p, a record of tab), lane by
// lane (crossx_inline).
template <class L>
LANES_INLINE void points_of(const primrec &p, const primrec *tab, const xconst &x, const L &ox,
                            const L &oy, const L &oz, const L &dx, const L &dy, const L &dz, L &px,
                            L &py, L &pz)
{
    const L gx = L::set1(p.geom.x), gy = L::set1(p.geom.y), gz = L::set1(p.geom.z);
    const primrec *cp = p.nmem > 0 ? &p : nullptr;
    if (p.type == PRIM_PLANE)
        plane_points<L>(gx, gy, gz, L::set1(x.wn), ox, oy, oz, dx, dy, dz, px, py, pz, cp, tab);
    else if (p.type == PRIM_BOX)
        box_points<L>(p, tab, x, ox, oy, oz, dx, dy, dz, px, py, pz);
    else
        quad_points<L>(gx, gy, gz, L::set1(x.kp.x), L::set1(x.kp.y), L::set1(x.kp.z), L::set1(x.c),
                       ox, oy, oz, dx, dy, dz, px, py, pz, cp, tab);
}

// pick's rule, lane by lane, for picks kept as d2, i, x, y, z at r: k's
// point p at dk is taken where `can` holds and it is strictly nearer, or
// as near with a lower index.
template <class L, class M>
LANES_INLINE void offer_at(double *d2s, double *is, double *xs, double *ys, double *zs, int r,
                           const M &can, const L &dk, const L &K, const L &px, const L &py,
                           const L &pz)
{
    const L d2 = L::load(d2s + r), i = L::load(is + r);
    const auto nearer = either(lt(dk, d2), both(eq(dk, d2), both(ge(i, L::set1(0.0)), lt(K, i))));
    const auto take = both(can, nearer);
    select(take, dk, d2).store(d2s + r);
    select(take, K, i).store(is + r);
    select(take, px, L::load(xs + r)).store(xs + r);
    select(take, py, L::load(ys + r)).store(ys + r);
    select(take, pz, L::load(zs + r)).store(zs + r);
}

// Empty picks at r: at FAR, of no primitive.
template <class L>
LANES_INLINE void no_picks(double *d2s, double *is, double *xs, double *ys, double *zs, int r)
{
    const L zero = L::set1(0.0);
    L::set1(FAR).store(d2s + r);
    L::set1(-1.0).store(is + r);
    zero.store(xs + r), zero.store(ys + r), zero.store(zs + r);
}

// kernels.h's shadow_try: candidate k for the live rays of R
template <class L>
unsigned shadow_try_k(shadow_batch &R, const primrec *tab, const xconst &x, int k, bool glass)
{
    const primrec &p = tab[k];
    const L ox = L::set1(R.lp.x), oy = L::set1(R.lp.y), oz = L::set1(R.lp.z);
    const L K = L::set1(k), zero = L::set1(0.0), one = L::set1(1.0);
    unsigned got = 0;
    for (int r = 0; r < SHADOW_GROUP; r += L::N) {
        const L live = L::load(R.live + r);
        const auto on = eq(live, one);
        if (!bits(on))
            continue;
        const L dx = L::load(R.lx + r), dy = L::load(R.ly + r), dz = L::load(R.lz + r);
        L px, py, pz;
        points_of<L>(p, tab, x, ox, oy, oz, dx, dy, dz, px, py, pz);
        // dk = vlength2(p - lp)
        const L qx = px - ox, qy = py - oy, qz = pz - oz;
        const L dk = qx * qx + qy * qy + qz * qz;
        // a transparent k counts only for the rays it lies on
        const L hit = L::load(R.hit + r);
        const auto counts = glass ? both(on, eq(hit, K)) : on;
        const auto dims = but_not(both(on, lt(dk, L::load(R.dl2 + r))), counts);
        const auto blocks = both(counts, lt(dk, L::load(R.lim + r)));
        offer_at<L>(R.d2, R.i, R.x, R.y, R.z, r, but_not(counts, blocks), dk, K, px, py, pz);
        select(blocks, zero, live).store(R.live + r);
        got |= bits(blocks) << r | bits(dims) << (r + SHADOW_GROUP);
    }
    return got;
}

// 0, 1, 2, ...: each ray's place in a group
struct ray_index {
    alignas(64) double of[SHADOW_GROUP];
    constexpr ray_index() : of()
    {
        for (int r = 0; r < SHADOW_GROUP; r++)
            of[r] = r;
    }
};
constexpr ray_index RAY_INDEX;

// The cells of directions (dx, dy, dz) in a light's grid of `cells` cells
// a side, as dirgrid_cell gives them: the face of the largest component,
// then the cell of the other two scaled by it; -1 for none.
template <class L>
LANES_INLINE L cells_of(const L &dx, const L &dy, const L &dz, int cells)
{
    const L zero = L::set1(0.0), one = L::set1(1.0);
    const L N = L::set1(cells), half = L::set1(0.5 * cells), last = L::set1(cells - 1);
    const L ax = abs(dx), ay = abs(dy), az = abs(dz);
    const auto xf = both(ge(ax, ay), ge(ax, az));
    const auto yf = but_not(ge(ay, az), xf);
    const L m = select(xf, ax, select(yf, ay, az));
    const L u = select(xf, dy, dx), v = select(xf, dz, select(yf, dz, dy));
    const L lead = select(xf, dx, select(yf, dy, dz));
    const L face = select(xf, zero, select(yf, L::set1(2.0), L::set1(4.0))) +
                   select(gt(lead, zero), zero, one);
    const L rm = one / m;
    const auto ok = both(both(gt(m, zero), lt(m, L::set1(HUGE_VAL))),
                         both(lt(rm, L::set1(HUGE_VAL)), both(eq(u, u), eq(v, v))));
    L i = trunc(select(ok, (u * rm + one) * half, zero));
    L j = trunc(select(ok, (v * rm + one) * half, zero));
    i = select(lt(i, zero), zero, select(ge(i, N), last, i));
    j = select(lt(j, zero), zero, select(ge(j, N), last, j));
    return select(ok, (face * N + j) * N + i, neg(one));
}

// kernels.h's lit_begin
template <class L>
void lit_begin_k(lit_batch &P, const lit_point *a)
{
    constexpr int stride = sizeof(lit_point) / sizeof(double);
    static_assert(sizeof(lit_point) % sizeof(double) == 0, "a point is whole doubles");
    const L zero = L::set1(0.0);
    for (int r = 0; r < SHADOW_GROUP; r += L::N) {
        // field f of points r .. r + N - 1, read one by one
        const auto take = [&](const double &f) { return L::gather(&f + r * stride, stride); };
        take(a[0].h.x).store(P.hx + r), take(a[0].h.y).store(P.hy + r);
        take(a[0].h.z).store(P.hz + r);
        take(a[0].n.x).store(P.nx + r), take(a[0].n.y).store(P.ny + r);
        take(a[0].n.z).store(P.nz + r);
        take(a[0].u.x).store(P.ux + r), take(a[0].u.y).store(P.uy + r);
        take(a[0].u.z).store(P.uz + r);
        take(a[0].n2).store(P.n2 + r), take(a[0].kd).store(P.kd + r);
        take(a[0].ks).store(P.ks + r), take(a[0].npow).store(P.npow + r);
        take(a[0].dscale).store(P.dscale + r), take(a[0].hit).store(P.hit + r);
        take(a[0].kr).store(P.kr + r), take(a[0].kg).store(P.kg + r);
        take(a[0].kb).store(P.kb + r);
        zero.store(P.r + r), zero.store(P.g + r), zero.store(P.b + r);
    }
    for (int r = 0; r < SHADOW_GROUP; r++)
        P.floor[r] = a[r].floor;
}

// Each set of eight rays as a mask, lane by lane.
struct live_table {
    alignas(64) double of[256][8];
    constexpr live_table() : of()
    {
        for (unsigned m = 0; m < 256; m++)
            for (int r = 0; r < 8; r++)
                of[m][r] = m >> r & 1;
    }
};
constexpr live_table LIVE;

// The rays of bits r .. r + N - 1 of `rays` as a mask
template <class L>
LANES_INLINE auto mask_of(unsigned rays, int r)
{
    static_assert(SHADOW_GROUP % 8 == 0 && L::N <= 8, "the table holds eight rays a row");
    return eq(L::load(LIVE.of[rays >> (r & ~7) & 255] + (r & 7)), L::set1(1.0));
}

// kernels.h's lit_light
template <class L>
unsigned lit_light_k(lit_batch &P, shadow_batch &R, const vec &lp, double fimax, int j, int cells,
                     int n)
{
    const L zero = L::set1(0.0), one = L::set1(1.0), two = L::set1(2.0), far = L::set1(FAR);
    const L Lx = L::set1(lp.x), Ly = L::set1(lp.y), Lz = L::set1(lp.z), fm = L::set1(fimax);
    const auto every = eq(zero, zero);
    double fl[SHADOW_GROUP];
    for (int r = 0; r < SHADOW_GROUP; r++)
        fl[r] = P.floor[r][j];
    unsigned matters = 0, no_cell = 0, too_far = 0;
    L far_dist = zero;
    for (int r = 0; r < SHADOW_GROUP; r += L::N) {
        // lv = h - L; dl2 = vlength2(lv); dist = vlength(lv)
        const L hx = L::load(P.hx + r), hy = L::load(P.hy + r), hz = L::load(P.hz + r);
        const L lx = hx - Lx, ly = hy - Ly, lz = hz - Lz;
        const L dl2 = lx * lx + ly * ly + lz * lz;
        const L dist = sqrt(dl2);
        // cn = vcos(n, lv); ch = vcos(u + vnorm(lv), n)
        const L nx = L::load(P.nx + r), ny = L::load(P.ny + r), nz = L::load(P.nz + r);
        const L n2 = L::load(P.n2 + r);
        const L nl = nx * lx + ny * ly + nz * lz;
        const L cn = nl / sqrt(n2 * dl2);
        const L bx = L::load(P.ux + r) + lx / dist, by = L::load(P.uy + r) + ly / dist,
                bz = L::load(P.uz + r) + lz / dist;
        const L b2 = bx * bx + by * by + bz * bz;
        const L ch = (bx * nx + by * ny + bz * nz) / sqrt(b2 * n2);
        dist.store(P.dist + r), cn.store(P.cn + r), ch.store(P.ch + r);
        lx.store(R.lx + r), ly.store(R.ly + r), lz.store(R.lz + r), dl2.store(R.dl2 + r);
        hx.store(R.hx + r), hy.store(R.hy + r), hz.store(R.hz + r);
        L::load(P.hit + r).store(R.hit + r);
        // shadow_bounds: lim from dist
        const L tol = L::set1(1e-9) * dist + L::set1(1e-12);
        const L near_h = dist - L::set1(1e-5) - tol;
        const L nh2 = near_h * near_h;
        select(gt(near_h, zero), select(lt(nh2, far), nh2, far), zero).store(R.lim + r);
        no_picks<L>(R.d2, R.i, R.x, R.y, R.z, r);
        const L cell = cells_of<L>(lx, ly, lz, cells);
        cell.store(R.cell + r);
        // light_matters: the quick test, else !dim_light_adds_nothing
        const L kd = L::load(P.kd + r), ks = L::load(P.ks + r), npow = L::load(P.npow + r);
        const L dscale = L::load(P.dscale + r), T = fm * dscale, acn = abs(cn);
        const auto quick = but_not(ge(nl * nl * (T * T), two * (n2 * dl2)), eq(kd, zero));
        const auto kd_dim =
            either(eq(kd, zero), both(both(le(dscale, L::set1(1e300)), le(acn, two)),
                                      lt(acn * (fm * dscale), L::set1(1 - 1e-9))));
        const auto hl_dim =
            either(either(eq(ks, zero), but_not(every, eq(ch, ch))),
                   either(both(eq(ch, zero), le(npow, zero)), lt(abs(ch), L::gather(fl + r, 1))));
        const auto on = both(lt(L::load(RAY_INDEX.of + r), L::set1(n)),
                             either(quick, but_not(every, both(kd_dim, hl_dim))));
        select(on, one, zero).store(R.live + r);
        matters |= bits(on) << r;
        no_cell |= bits(both(on, lt(cell, zero))) << r;
        too_far |= bits(but_not(on, lt(dl2, L::set1(SHADOW_FAR2)))) << r;
        const L d = select(on, dist, zero);
        far_dist = select(gt(d, far_dist), d, far_dist);
    }
    R.lp = lp;
    R.no_cell = no_cell;
    R.too_far = too_far;
    double m[L::N];
    far_dist.store(m);
    R.far_dist = 0;
    for (int l = 0; l < L::N; l++)
        R.far_dist = m[l] > R.far_dist ? m[l] : R.far_dist;
    return matters;
}

// c += cmul(k, s) on the lanes of m, within the int range (cadd): the
// product truncated toward zero, within the int range, 0 for an s that is
// no finite number (vec.h's cmul).
template <class L, class M>
LANES_INLINE void add_cmul(double *c, int r, const M &m, const L &k, const L &s)
{
    const L lo = L::set1(INT_MIN), hi = L::set1(INT_MAX), zero = L::set1(0.0);
    const L v = k * s;
    const L t = trunc(select(lt(v, lo), lo, select(gt(v, hi), hi, v)));
    const L sum = L::load(c + r) + select(both(m, lt(abs(s), L::set1(HUGE_VAL))), t, zero);
    select(lt(sum, lo), lo, select(gt(sum, hi), hi, sum)).store(c + r);
}

// kernels.h's lit_add
template <class L>
void lit_add_k(lit_batch &P, unsigned ok, const double *f, double bright, int j)
{
    // the highlights added, pow's worked out one by one
    double pw[SHADOW_GROUP] = {};
    unsigned hl = 0;
    for (unsigned o = ok; o; o &= o - 1) {
        const int r = __builtin_ctz(o);
        const double fi = f[r] * bright, ch = P.ch[r], npow = P.npow[r];
        if (fi == 0 || P.ks[r] == 0 || ch != ch || (ch == 0 && npow <= 0) ||
            std::fabs(ch) < P.floor[r][j])
            continue;
        pw[r] = std::pow(ch, npow);
        hl |= 1u << r;
    }
    const L zero = L::set1(0.0), white = L::set1(255.0), B = L::set1(bright);
    for (int r = 0; r < SHADOW_GROUP; r += L::N) {
        if (!(ok >> r & ((1u << L::N) - 1)))
            continue;
        const L fi = L::gather(f + r, 1) * B;
        const L kd = L::load(P.kd + r), ks = L::load(P.ks + r);
        const auto none = either(eq(fi, zero), both(eq(kd, zero), eq(ks, zero)));
        // the diffuse term: cmul(k, |cn| fi kd)
        const auto dif = but_not(mask_of<L>(ok, r), either(none, eq(kd, zero)));
        const L sd = abs(L::load(P.cn + r)) * fi * kd;
        add_cmul<L>(P.r, r, dif, L::load(P.kr + r), sd);
        add_cmul<L>(P.g, r, dif, L::load(P.kg + r), sd);
        add_cmul<L>(P.b, r, dif, L::load(P.kb + r), sd);
        // the highlight: cmul(white, |pow(ch, npow) fi ks|)
        const auto hi = mask_of<L>(hl, r);
        const L sh = abs(L::gather(pw + r, 1) * fi * ks);
        add_cmul<L>(P.r, r, hi, white, sh);
        add_cmul<L>(P.g, r, hi, white, sh);
        add_cmul<L>(P.b, r, hi, white, sh);
    }
}

// kernels.h's shadow_live
template <class L>
void shadow_live_k(shadow_batch &R, unsigned rays)
{
    static_assert(SHADOW_GROUP % 8 == 0 && L::N <= 8, "the table holds eight rays a row");
    for (int r = 0; r < SHADOW_GROUP; r += L::N)
        L::load(LIVE.of[rays >> (r & ~7) & 255] + (r & 7)).store(R.live + r);
}

// kernels.h's shadow_end
template <class L>
unsigned shadow_end_k(const shadow_batch &R, double eps2)
{
    const L zero = L::set1(0.0), one = L::set1(1.0), far = L::set1(FAR);
    unsigned got = 0;
    for (int r = 0; r < SHADOW_GROUP; r += L::N) {
        // reaches: the pick (the marker when there is none) within eps2 of h
        const auto some = ge(L::load(R.i + r), zero);
        const L qx = L::load(R.hx + r) - select(some, L::load(R.x + r), far);
        const L qy = L::load(R.hy + r) - select(some, L::load(R.y + r), far);
        const L qz = L::load(R.hz + r) - select(some, L::load(R.z + r), far);
        const auto near = lt(qx * qx + qy * qy + qz * qz, L::set1(eps2));
        got |= bits(both(near, eq(L::load(R.live + r), one))) << r;
    }
    return got;
}

// kernels.h's near_begin and near_try
template <class L>
void near_begin_k(near_batch &B, const vec *dir)
{
    constexpr int stride = sizeof(vec) / sizeof(double);
    for (int r = 0; r < SHADOW_GROUP; r += L::N) {
        L::gather(&dir[r].x, stride).store(B.dx + r);
        L::gather(&dir[r].y, stride).store(B.dy + r);
        L::gather(&dir[r].z, stride).store(B.dz + r);
        no_picks<L>(B.d2, B.i, B.x, B.y, B.z, r);
    }
}

template <class L>
void near_try_k(near_batch &B, const primrec *tab, const xconst &x, int k)
{
    const primrec &p = tab[k];
    const L ox = L::set1(B.o.x), oy = L::set1(B.o.y), oz = L::set1(B.o.z);
    const L K = L::set1(k);
    const auto every = eq(K, K); // all rays take part
    for (int r = 0; r < SHADOW_GROUP; r += L::N) {
        const L dx = L::load(B.dx + r), dy = L::load(B.dy + r), dz = L::load(B.dz + r);
        L px, py, pz;
        points_of<L>(p, tab, x, ox, oy, oz, dx, dy, dz, px, py, pz);
        // vlength2(o - p), offered by pick's rule
        const L qx = ox - px, qy = oy - py, qz = oz - pz;
        const L dk = qx * qx + qy * qy + qz * qz;
        offer_at<L>(B.d2, B.i, B.x, B.y, B.z, r, every, dk, K, px, py, pz);
    }
}

// box_points for rays from many origins o along d: xprep's constants of
// each ray's origin (pp = o - pos, the face numerators and which faces are
// tried) lane by lane.
template <class L>
__attribute__((noinline)) void box_points_spread(const primrec &p, const primrec *tab, const L &ox,
                                                 const L &oy, const L &oz, const L &dx, const L &dy,
                                                 const L &dz, L &px, L &py, L &pz)
{
    const L zero = L::set1(0.0), eps = L::set1(HIT_EPS), far = L::set1(FAR);
    const L g[3] = {L::set1(p.geom.x), L::set1(p.geom.y), L::set1(p.geom.z)};
    const L pp[3] = {ox - L::set1(p.pos.x), oy - L::set1(p.pos.y), oz - L::set1(p.pos.z)};
    const L d[3] = {dx, dy, dz};
    L best = far;
    px = py = pz = far;
    for (int f = 0; f < 6; f++) {
        // face f lies across axis a; u and v are the other two (box_hit's);
        // X = +hx is tried where Px > -hx, at t = (hx - Px) / Dx, and
        // X = -hx where Px < hx, at t = (-Px - hx) / Dx
        const int a = f / 2, u = a == 1 ? 0 : 1, v = a == 2 ? 0 : 2;
        const bool minus = f % 2;
        const auto tried = minus ? lt(pp[a], g[a]) : gt(pp[a], neg(g[a]));
        const L t = (minus ? neg(pp[a]) - g[a] : g[a] - pp[a]) / d[a];
        auto take = both(tried, but_not(gt(t, eps), eq(d[a], zero)));
        if (f > 0)
            take = both(take, lt(t, best));
        const L qu = pp[u] + t * d[u], qv = pp[v] + t * d[v];
        take = both(take, both(le(neg(g[u]), qu), le(qu, g[u])));
        take = both(take, both(le(neg(g[v]), qv), le(qv, g[v])));
        const L x = ox + dx * t, y = oy + dy * t, z = oz + dz * t;
        if (p.nmem > 0)
            take = both(take, accepted<L>(p, tab, x, y, z));
        best = select(take, t, best);
        px = select(take, x, px);
        py = select(take, y, py);
        pz = select(take, z, pz);
    }
    const auto none = eq(best, far);
    px = select(none, far, px), py = select(none, far, py), pz = select(none, far, pz);
}

// kernels.h's spread_begin and spread_try
template <class L>
void spread_begin_k(spread_batch &B, const vec *org, const vec *dir)
{
    constexpr int stride = sizeof(vec) / sizeof(double);
    for (int r = 0; r < SHADOW_GROUP; r += L::N) {
        L::gather(&org[r].x, stride).store(B.ox + r);
        L::gather(&org[r].y, stride).store(B.oy + r);
        L::gather(&org[r].z, stride).store(B.oz + r);
        L::gather(&dir[r].x, stride).store(B.dx + r);
        L::gather(&dir[r].y, stride).store(B.dy + r);
        L::gather(&dir[r].z, stride).store(B.dz + r);
        no_picks<L>(B.d2, B.i, B.x, B.y, B.z, r);
    }
}

template <class L>
void spread_try_k(spread_batch &B, const primrec *tab, int k)
{
    const primrec &p = tab[k];
    const primrec *cp = p.nmem > 0 ? &p : nullptr;
    const L K = L::set1(k);
    const auto every = eq(K, K); // all rays take part
    const L gx = L::set1(p.geom.x), gy = L::set1(p.geom.y), gz = L::set1(p.geom.z);
    const L cx = L::set1(p.pos.x), cy = L::set1(p.pos.y), cz = L::set1(p.pos.z);
    const L sub = L::set1(p.type == PRIM_QUADRIC ? 1.0 : 0.0);
    for (int r = 0; r < SHADOW_GROUP; r += L::N) {
        const L ox = L::load(B.ox + r), oy = L::load(B.oy + r), oz = L::load(B.oz + r);
        const L dx = L::load(B.dx + r), dy = L::load(B.dy + r), dz = L::load(B.dz + r);
        L px, py, pz;
        if (p.type == PRIM_PLANE) {
            // xprep: wn = (pos - o) . N
            const L wn = (cx - ox) * gx + (cy - oy) * gy + (cz - oz) * gz;
            plane_points<L>(gx, gy, gz, wn, ox, oy, oz, dx, dy, dz, px, py, pz, cp, tab);
        } else if (p.type == PRIM_BOX) {
            box_points_spread<L>(p, tab, ox, oy, oz, dx, dy, dz, px, py, pz);
        } else {
            // xprep: pp = o - pos; kp = g pp; c = g.x pp.x^2 + ... - (1 or 0)
            const L ppx = ox - cx, ppy = oy - cy, ppz = oz - cz;
            const L c = gx * (ppx * ppx) + gy * (ppy * ppy) + gz * (ppz * ppz) - sub;
            quad_points<L>(gx, gy, gz, gx * ppx, gy * ppy, gz * ppz, c, ox, oy, oz, dx, dy, dz, px,
                           py, pz, cp, tab);
        }
        // vlength2(o - p), offered by pick's rule
        const L qx = ox - px, qy = oy - py, qz = oz - pz;
        const L dk = qx * qx + qy * qy + qz * qz;
        offer_at<L>(B.d2, B.i, B.x, B.y, B.z, r, every, dk, K, px, py, pz);
    }
}

// The kernels over lights on lanes L, those over quadrics and of a group
// of rays on lanes G.
template <class L, class G = L>
constexpr kernels kernels_for()
{
    return kernels{geometry_k<L>,   nearest_k<G>,    shadow_try_k<G>, shadow_live_k<G>,
                   shadow_end_k<G>, near_begin_k<G>, near_try_k<G>,   spread_begin_k<G>,
                   spread_try_k<G>, lit_begin_k<G>,  lit_light_k<G>,  lit_add_k<G>};
}

#undef LANES_INLINE

} // namespace
