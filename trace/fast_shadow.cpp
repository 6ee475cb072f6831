// The accelerated tracer's shadow search (fast.h): from the light toward
// the point, the last blocker and the primitive hit first, then the list of
// the light's direction cell, or the tree where the light has no grid.
// lit_group makes up to SHADOW_GROUP such searches toward one light at
// once, side by side in the kernels' lanes.
#include "fast_prep.h"

using namespace fast_detail;

namespace {

// One shadow search from light j toward h: the candidates tried so far
// and what they add up to.
struct shadow_search {
    const fast_prep &S;
    const primrec *pri;
    const vec &lp, &lv;
    const xconst *xc;
    int hit;
    double dl2;
    double lim;        // a point that counts and is nearer the light than this blocks it
    pick s;            // nearest point that counts: of the hit or of an opaque primitive
    int dim[PRIM_MAX]; // transparent primitives nearer the light than h
    int ndim = 0;

    shadow_search(const fast_prep &S, const vec &lp, const vec &lv, const xconst *xc, int hit,
                  double dl2, double lim)
        : S(S), pri(S.scope.pri), lp(lp), lv(lv), xc(xc), hit(hit), dl2(dl2), lim(lim)
    {
    }

    // false when candidate k proves the light blocked
    __attribute__((always_inline)) bool try_k(int k)
    {
        vec p, q;
        crossx_inline(p, lp, lv, pri[k], xc[k], pri);
        double dk = vlength2(vsub(q, p, lp));
        if (pri[k].surf == SURF_GLASS && k != hit) {
            if (dk < dl2)
                dim[ndim++] = k;
            return true;
        }
        if (dk < lim)
            return false;
        s.offer(dk, k, p);
        return true;
    }
};

// The bounds of a shadow search toward a point dist from the light: reach,
// beyond which a point is more than 1e-4 past it, and lim, the squared
// distance within which a point that counts for S (see below) blocks the
// light (it keeps S at least 1e-5 from the point).
inline void shadow_bounds(double dist, double mlight, double &reach, double &lim)
{
    const double tol = 1e-9 * dist + 1e-12;
    reach = dist + 1e-4 + mlight;
    const double near_h = dist - 1e-5 - tol;
    lim = near_h > 0 ? (near_h * near_h < FAR ? near_h * near_h : FAR) : 0.0;
}

// The product of the trans of the ndim transparent primitives in dim, in
// index order as the plain search takes them (dim gets sorted).
double dimmed_by(const fast_prep &S, int *dim, int ndim)
{
    double f = 1.0;
    if (ndim == 0)
        return f;
    for (int a = 1; a < ndim; a++)
        for (int b = a; b > 0 && dim[b - 1] > dim[b]; b--) {
            int t = dim[b];
            dim[b] = dim[b - 1];
            dim[b - 1] = t;
        }
    for (int a = 0; a < ndim; a++)
        f = f * S.scope.pri[dim[a]].trans;
    return f;
}

// The end of a shadow search not blocked: whether the nearest point that
// counts, s, is h itself, and then f, dimmed_by's product.
bool reaches(const fast_prep &S, const vec &h, const pick &s, int *dim, int ndim, double &f)
{
    vec q, sp = s.i >= 0 ? s.p : nohit();
    if (!(vlength2(vsub(q, h, sp)) < LIT_EPS2))
        return false;
    f = dimmed_by(S, dim, ndim);
    return true;
}

// Whether primitive c of the table, tried out of turn, proves the light
// blocked: it must count (a known type, opaque or the primitive hit) and
// meet the ray nearer the light than ss.lim.
inline bool blocks_first(const shadow_search &ss, int c)
{
    const primrec *pri = ss.pri;
    if (c >= ss.S.scope.primmx || !known_type(pri[c].type) ||
        (c != ss.hit && pri[c].surf == SURF_GLASS))
        return false;
    vec p, q;
    crossx_inline(p, ss.lp, ss.lv, pri[c], ss.xc[c], pri);
    return vlength2(vsub(q, p, ss.lp)) < ss.lim;
}

// The search through light j's grid cell `cell`: false when the light is
// blocked, blocker then the primitive that blocked it. Whether the light
// is blocked, the nearest point that counts and the transparent primitives
// nearer the light than h do not depend on the order of the tries, and
// trying a primitive more than the cell lists changes none of them (the
// plain search tries them all). The primitive that blocked this light last
// often blocks it again, and the primitive hit often hides h from the
// light itself, so they go first.
bool shadow_cell(shadow_search &ss, const dirgrid &g, int cell, double reach, int &blocker)
{
    const fast_prep &S = ss.S;
    const int hit = ss.hit;
    const int c = blocker;
    if (c >= 0 && c != hit && blocks_first(ss, c))
        return false;
    if (!ss.try_k(hit)) {
        blocker = hit;
        return false;
    }
    // the cell lists the boxes nearest the light first: blockers come early
    for (int n = 0; n < S.boxes.nunbound; n++) {
        const int k = S.boxes.unbound[n];
        if (k != hit && !ss.try_k(k)) {
            blocker = k;
            return false;
        }
    }
    const uint8_t *list = g.prims.data();
    for (uint32_t n = g.start[cell], e = g.start[cell + 1]; n < e; n++) {
        const int k = list[n];
        if (g.near[k] > reach)
            break;
        if (k != hit && !ss.try_k(k)) {
            blocker = k;
            return false;
        }
    }
    return true;
}

// The shadow search through the hierarchy, for a light without a grid:
// false when the light is blocked.
bool shadow_tree(shadow_search &ss, int &blocker, double dist, double reach)
{
    const fast_prep &S = ss.S;
    const prep_boxes &B = S.boxes;
    // the primitive that blocked this light last often blocks it again
    if (blocker >= 0 && blocks_first(ss, blocker))
        return false;
    rayinfo ri;
    ray_setup(S, ri, ss.lp, ss.lv, dist);
    const double tmax = reach / dist + 1e-6;
    double tn;
    auto test = [&](int k) {
        if (ss.try_k(k))
            return true;
        blocker = k;
        return false;
    };
    for (int n = 0; n < B.nloose; n++) {
        int k = B.loose[n];
        if (B.boxed[k] && !hitbox(B.box[k], ri, tmax, tn))
            continue;
        if (!test(k))
            return false;
    }
    if (!B.tree.nnodes)
        return true;
    int stack[2 * PRIM_MAX];
    int sp = 0;
    if (hitbox(B.tree.nodes[0].box, ri, tmax, tn))
        stack[sp++] = 0;
    while (sp > 0) {
        const bvhnode &nd = B.tree.nodes[stack[--sp]];
        if (nd.left < 0) {
            for (int i = 0; i < nd.count; i++)
                if (!test(B.tree.items[nd.first + i]))
                    return false;
            continue;
        }
        if (hitbox(B.tree.nodes[nd.right].box, ri, tmax, tn))
            stack[sp++] = nd.right;
        if (hitbox(B.tree.nodes[nd.left].box, ri, tmax, tn))
            stack[sp++] = nd.left;
    }
    return true;
}

} // namespace

bool fast_tracer::lit(int j, const vec &h, int hit, const vec &lv, double dl2, double dist,
                      double &f)
{
    const fast_prep &S = *this->S;
    // A light reaches h only through a point S within 1e-5 of h and less
    // than FAR (squared) from the light; so a light 1e5 away never does.
    if (!(dl2 < SHADOW_FAR2))
        return false;
    const vec &lp = sc->lig[j].pos;
    double reach, lim;
    shadow_bounds(dist, S.lights.margin[j], reach, lim);
    shadow_search ss(S, lp, lv, S.lights.x.data() + (size_t)j * S.scope.primmx, hit, dl2, lim);

    const dirgrid &g = S.lights.grid[j];
    const int cell = g.n ? dirgrid_cell(g, lv) : -1;
    if (cell >= 0) {
        if (!shadow_cell(ss, g, cell, reach, blocker[j]))
            return false;
    } else if (!shadow_tree(ss, blocker[j], dist, reach)) {
        return false;
    }
    blocker[j] = -1; // not blocked: the next search tries no blocker first

    return reaches(S, h, ss.s, ss.dim, ss.ndim, f);
}

namespace {

// Up to SHADOW_GROUP shadow searches toward one light, made together: the
// kernels' batch R of the rays, and what each ray's search found so far.
// Each ray's search tries its hit, the primitives without a box and its
// cell's list up to its reach; trying the union of them for all, as the
// plain search tries everything, changes no answer.
struct shadow_group {
    const fast_prep &S;
    const primrec *pri;
    const xconst *xc; // the light's constants
    tried_set &tried; // each candidate once per round
    shadow_batch &R;
    int dim[SHADOW_GROUP][PRIM_MAX], ndim[SHADOW_GROUP] = {}; // as shadow_search's, ray by ray
    unsigned left;                                            // the rays not known to be blocked
    int by = -1;                                              // the last primitive that blocked one

    // The searches of the rays `ask` of R (lit_light's) toward light j.
    shadow_group(const fast_prep &S, int j, shadow_batch &R, unsigned ask, tried_set &tried)
        : S(S), pri(S.scope.pri), xc(S.lights.x.data() + (size_t)j * S.scope.primmx), tried(tried),
          R(R), left(ask)
    {
        tried.next();
    }

    // Tries candidate k for every live ray: false once every ray is blocked.
    __attribute__((always_inline)) bool attempt(int k)
    {
        tried.add(k);
        const unsigned got = S.K->shadow_try(R, pri, xc[k], k, pri[k].surf == SURF_GLASS);
        for (unsigned d = shadow_dimmed(got); d; d &= d - 1) {
            const int r = __builtin_ctz(d);
            dim[r][ndim[r]++] = k;
        }
        if (shadow_blocked(got)) {
            by = k;
            left &= ~shadow_blocked(got);
        }
        return left != 0;
    }

    // The last blocker c and the rays' hits, which often settle it: false
    // once every ray is blocked.
    bool try_first(int c)
    {
        bool open = true;
        if (c >= 0 && c < S.scope.primmx && known_type(pri[c].type))
            open = attempt(c);
        for (unsigned o = left; open && o; o &= o - 1) {
            const int hit = (int)R.hit[__builtin_ctz(o)];
            if (!tried.has(hit))
                open = attempt(hit);
        }
        return open;
    }

    // The open rays `rays` against the primitives without a box and the
    // lists of their cells of grid g up to reach, each primitive tried
    // once for all of them (what try_first tried counts too): a ray tries
    // a few more than its own cell lists, which changes none of its
    // answers. Neighbouring rays mostly share a cell, whose list is then
    // walked once.
    void try_cells(const dirgrid &g, unsigned rays, double reach)
    {
        for (int u = 0; left && u < S.boxes.nunbound; u++)
            if (!tried.has(S.boxes.unbound[u]))
                attempt(S.boxes.unbound[u]);
        const uint8_t *list = g.prims.data();
        double walked = -1;
        for (unsigned o = rays & left; o; o &= o - 1) {
            const int r = __builtin_ctz(o);
            if (!(left >> r & 1) || R.cell[r] == walked)
                continue;
            walked = R.cell[r];
            const int at = (int)walked;
            for (uint32_t e = g.start[at], end = g.start[at + 1]; left && e < end; e++) {
                const int k = list[e];
                if (g.near[k] > reach)
                    break;
                if (!tried.has(k))
                    attempt(k);
            }
        }
    }

    // The rays not blocked whose light reaches their points, with f as
    // lit gives it.
    unsigned finish(double *f)
    {
        const unsigned near = S.K->shadow_end(R, LIT_EPS2);
        for (unsigned o = near; o; o &= o - 1) {
            const int r = __builtin_ctz(o);
            f[r] = dimmed_by(S, dim[r], ndim[r]);
        }
        return near;
    }
};

} // namespace

void tried_set::next()
{
    if (++round == 0) { // wrapped: forget every stamp
        for (unsigned &t : stamp)
            t = 0;
        round = 1;
    }
}

// Ray r of R (lit_light's, toward light j) searched by lit.
inline bool lit_ray(fast_tracer &tr, int j, const shadow_batch &R, const double *dist, int r,
                    double &f)
{
    const vec h{R.hx[r], R.hy[r], R.hz[r]}, lv{R.lx[r], R.ly[r], R.lz[r]};
    return tr.lit(j, h, (int)R.hit[r], lv, R.dl2[r], dist[r], f);
}

unsigned fast_tracer::lit_group(int j, shadow_batch &R, const double *dist, unsigned ask, double *f)
{
    const fast_prep &S = *this->S;
    unsigned ok = 0;
    // Each search on its own (lit): one alone, a light without a grid (lit
    // walks the tree), or a point too far for the grid's test (lit lights
    // nothing)
    if (!(ask & (ask - 1)) || !S.lights.grid[j].n || R.too_far) {
        for (unsigned o = ask; o; o &= o - 1) {
            const int r = __builtin_ctz(o);
            ok |= (unsigned)lit_ray(*this, j, R, dist, r, f[r]) << r;
        }
        return ok;
    }
    shadow_group G(S, j, R, ask, tried);

    // Try the last blocker and the hits first
    const bool open = G.try_first(blocker[j]);
    blocker[j] = G.by;
    if (!open)
        return 0;

    // A ray without a cell (a direction too short to place) searches in
    // lit's own way
    const unsigned placed = G.left & ~R.no_cell;
    if (placed != G.left) {
        for (unsigned o = G.left & R.no_cell; o; o &= o - 1) {
            const int r = __builtin_ctz(o);
            ok |= (unsigned)lit_ray(*this, j, R, dist, r, f[r]) << r;
        }
        G.left = placed;
        S.K->shadow_live(R, G.left);
    }

    // The rest against their cells' lists
    double reach, lim; // the farthest ray's, which no other ray's passes
    shadow_bounds(R.far_dist, S.lights.margin[j], reach, lim);
    G.try_cells(S.lights.grid[j], placed, reach);
    blocker[j] = G.by;
    if (G.left)
        ok |= G.finish(f);
    return ok;
}

void fast_tracer::light_terms(lit_batch &P, const lit_point *a, int n)
{
    const fast_prep &S = *this->S;
    S.K->lit_begin(P, a);
    for (int j = 0; j < sc->nlg; j++) {
        const ligrec &lj = sc->lig[j];
        if (lj.bright == 0)
            continue;
        shadow_batch R;
        const unsigned ask =
            S.K->lit_light(P, R, lj.pos, S.lights.fimax[j], j, S.lights.grid[j].n, n);
        if (!ask)
            continue;
        shadow_rays += __builtin_popcount(ask);
        double f[SHADOW_GROUP] = {};
        const unsigned ok = lit_group(j, R, P.dist, ask, f);
        if (ok)
            S.K->lit_add(P, ok, f, lj.bright, j);
    }
}
