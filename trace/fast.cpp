#include "fast.h"

#include "bounds.h"
#include "bvh.h"
#include "crossx.h"
#include "dirgrid.h"
#include "kernels.h"
#include "screengrid.h"
#include "shade_impl.h"

#include <cfloat>
#include <cmath>

namespace {

// Coordinates beyond this keep the plain search (see the header).
constexpr double RANGE = 1e8;
// Boxes are widened by REL times the scale of the numbers involved: far
// more than the rounding of any hit point crossp computes.
constexpr double REL = 1e-6;
// In scenes of at most this many primitives a secondary ray tries them all,
// the quadrics side by side (kernels.h), rather than walk the tree.
constexpr int WHOLE_MAX = 24;

} // namespace

struct fast_prep {
    const primrec *pri; // the table of the scene prepared for
    int primmx;
    aabb box[PRIM_MAX];   // widened by wide; the tree is built over these
    bool boxed[PRIM_MAX]; // box holds the primitive's hits
    bvh tree;             // over the primitives with finite boxes
    int loose[PRIM_MAX];  // the others, for rays from any origin
    int nloose;
    int unbound[PRIM_MAX]; // primitives without a finite limit, for grid rays
    int nunbound;
    int planes[PRIM_MAX]; // planes without a finite limit: grids place them
    int nplanes;
    double scale; // largest finite coordinate of boxes, eyes, lights
    double wide;  // how far the boxes are widened
    double reach; // rays from origins farther out use the plain search
    xconst xeye[2][PRIM_MAX];
    // by light, then primitive: sized to the scene, so that only what is
    // used is touched (fresh pages are dear)
    std::vector<xconst> xlights;
    screengrid seye[2];
    dirgrid geye[2];
    std::vector<dirgrid> glight;
    double meye[2];                // box widening for rays from each eye
    double fareye[2][2][PRIM_MAX]; // lower_bounds of each eye's tile and direction lists
    double mlight[LIGHT_MAX];      // and from each light
    light_pos lights;              // the lights' positions, for kernels.h
    int path;                      // the kernel_path used
    const kernels *K;              // its kernels
    // a small scene: every secondary ray tries every primitive, the
    // quadrics and cones without partners side by side in Q, the others
    // one by one
    bool whole;
    quad_set Q;
    int rest[PRIM_MAX];
    int nrest;
    std::vector<double> hlfloor; // fast_tracer::highlight_floor, by primitive then light
    unsigned bits[PRIM_MAX];     // fast_tracer::bits
    double fimax[LIGHT_MAX];     // fast_tracer::fi_max
    // what the grids' steps read: the scene, the frame, and the primitives
    // the grids place by their boxes
    const scene *sc;
    frame fr;
    int gridded[PRIM_MAX];
    int ngridded;
    size_t budget; // entries all its grids may hold
};

namespace {

double absmax(const vec &v)
{
    // a component that is no number counts as infinite: out of every range
    const double x = std::fabs(v.x), y = std::fabs(v.y), z = std::fabs(v.z);
    if (x != x || y != y || z != z)
        return HUGE_VAL;
    const double m = x > y ? x : y;
    return m > z ? m : z;
}

// The per-ray numbers the box tests need. Boxes are kept widened by
// S.wide, enough for every origin within the scene's scale; a ray from
// farther out widens them by extra on top.
struct rayinfo {
    double o[3], inv[3];
    double extra;
    double margin; // the whole widening this ray needs
    double dlen;
};

void ray_setup(const fast_prep &S, rayinfo &ri, const vec &o, const vec &d, double dlen)
{
    ri.o[0] = o.x, ri.o[1] = o.y, ri.o[2] = o.z;
    // 1/0 is infinite: such an axis then rules out exactly the origins
    // outside its slab, and a limit that makes no number constrains nothing
    ri.inv[0] = 1 / d.x;
    ri.inv[1] = 1 / d.y;
    ri.inv[2] = 1 / d.z;
    ri.margin = REL * (absmax(o) + S.scale);
    ri.extra = ri.margin > S.wide ? ri.margin - S.wide : 0.0;
    ri.dlen = dlen;
}

// Whether the ray meets box b (already widened) for some t in [0, t1];
// tn is then where it enters.
inline bool hitbox(const aabb &b, const rayinfo &r, double t1, double &tn)
{
    double t0 = 0;
    for (int a = 0; a < 3; a++) {
        double ta = (b.lo[a] - r.extra - r.o[a]) * r.inv[a];
        double tb = (b.hi[a] + r.extra - r.o[a]) * r.inv[a];
        if (ta > tb) {
            double t = ta;
            ta = tb;
            tb = t;
        }
        t0 = ta > t0 ? ta : t0;
        t1 = tb < t1 ? tb : t1;
    }
    tn = t0;
    return t0 <= t1;
}

// How far out (absmax of the origin plus the scale) rays may start for
// the box of quadric p to hold the points crossp returns. Rounding in the
// discriminant admits points whose form is up to about 16 eps Kmax |P|^2
// above 1, which lie up to rmax times half that outside the box, and the
// widening of a ray from there is REL times that distance. Infinite for
// a primitive that is no such quadric.
double quad_reach(const primrec &p)
{
    const double g[3] = {p.geom.x, p.geom.y, p.geom.z};
    if (p.type != PRIM_QUADRIC || g[0] < 0 || g[1] < 0 || g[2] < 0)
        return HUGE_VAL;
    double kmax = 0, kmin = HUGE_VAL;
    for (double k : g)
        if (k > 0)
            kmax = std::fmax(kmax, k), kmin = std::fmin(kmin, k);
    if (!(kmax > 0))
        return HUGE_VAL;
    const double rmax = 1 / std::sqrt(kmin);
    return REL / (24 * DBL_EPSILON * kmax * rmax);
}

// A cosine below which primitive p's highlight adds nothing under a light
// whose fi (bright times a product of trans) is at most fmax in size:
// 255 |pow(ch, npow) fi ks| < 1, which cmul truncates to 0. The floor c has
// pow(c, npow) <= 0.9999 / (255 |ks| fmax); pow is within an ulp of the
// true power, which grows with |ch| for npow >= 1, and the products round
// by a relative 2^-53 each (underflow's absolute 2^-1075 times at most
// 255 |ks| fmax < 1e300 is nothing): all told far less than the 1e-4 to
// spare. 0 when there is no such cosine, or npow < 1.
double highlight_floor_of(const primrec &p, double fmax)
{
    if (p.npow < 1 || !(fmax == fmax))
        return 0;
    const double x = 255 * std::fabs(p.ks) * fmax;
    if (!(x < 1e300))
        return 0; // no number, or no room for the margins
    if (!(x > 0))
        return HUGE_VAL; // ks 0: every highlight is 0, or no number
    const double goal = 0.9999 / x;
    double c = std::pow(goal, 1.0 / p.npow);
    if (!(c > 0))
        return 0;
    // the root is rounded: step down until the power itself is below goal
    for (int i = 0; i < 64 && !(std::pow(c, p.npow) <= goal); i++)
        c = c * (1 - 1e-6);
    return std::pow(c, p.npow) <= goal ? c : 0.0;
}

// Cells per face side for the light grids: finer when there are few
// lights. Finer than 32 a side costs more in fresh pages and in groups of
// rays split between cells than it saves in candidates.
int light_cells(int lights) { return lights <= 16 ? 32 : lights <= 50 ? 16 : 8; }

} // namespace

namespace {

// The nearest hit among the unbounded primitives and a list sorted by the
// distance of their boxes from the eye: far[k] is the squared lower bound
// of primitive k's hit distance, -1 when it is none.
int nearest_listed(const fast_prep &S, const vec &org, const vec &dir, const xconst *xc,
                   const uint8_t *list, uint32_t from, uint32_t to, const double *far, vec &h)
{
    const primrec *pri = S.pri;
    pick b;
    vec p, q;
    for (int n = 0; n < S.nunbound; n++) {
        int k = S.unbound[n];
        crossx_inline(p, org, dir, pri[k], xc[k], pri);
        b.offer(vlength2(vsub(q, org, p)), k, p);
    }
    for (uint32_t n = from; n < to; n++) {
        int k = list[n];
        if (far[k] > b.d2)
            break; // this box, and all after it, lie beyond the best hit
        crossx_inline(p, org, dir, pri[k], xc[k], pri);
        b.offer(vlength2(vsub(q, org, p)), k, p);
    }
    if (b.i >= 0)
        h = b.p;
    return b.i;
}

// far[] of a list sorted by near[]: the squared distance within which no
// hit of primitive k can lie, widened for rounding.
void lower_bounds(double *far, const double *near, double margin)
{
    for (int k = 0; k < PRIM_MAX; k++) {
        double lower = near[k] * (1 - 1e-7) - margin;
        far[k] = lower > 0 ? lower * lower : -1;
    }
}

} // namespace

fast_prep_ptr fast_prepare_begin(const scene &sc, const frame &f, int path, size_t budget)
{
    const primrec *pri = sc.pri;
    const int primmx = sc.primmx, nlg = sc.nlg;
    const vec *eyes = f.eye;
    const int neyes = f.neyes;
    fast_prep_ptr prep(new fast_prep);
    fast_prep &S = *prep;
    S.pri = pri;
    S.primmx = primmx;
    S.path = kernel_path_usable(path);
    S.K = &kernels_of(S.path);
    light_pos_of(S.lights, sc.lig, nlg);

    // everything within RANGE, so the marker at FAR never takes part
    double scale = 0;
    for (int e = 0; e < neyes; e++) {
        if (!(absmax(eyes[e]) < RANGE))
            return nullptr;
        scale = std::fmax(scale, absmax(eyes[e]));
    }
    for (int j = 0; j < nlg; j++) {
        if (!(absmax(sc.lig[j].pos) < RANGE))
            return nullptr;
        scale = std::fmax(scale, absmax(sc.lig[j].pos));
    }

    // boxes
    for (int i = 0; i < primmx; i++) {
        S.boxed[i] = known_type(pri[i].type) && prim_bounds(S.box[i], sc, i);
        for (int a = 0; S.boxed[i] && a < 3; a++)
            for (double v : {S.box[i].lo[a], S.box[i].hi[a]})
                if (std::isfinite(v)) {
                    if (!(std::fabs(v) < RANGE))
                        return nullptr;
                    scale = std::fmax(scale, std::fabs(v));
                }
    }
    // a quadric so flat that rounding spreads its hits beyond its box, for
    // rays from the eyes and the lights, gets none; other rays from too far
    // out for some box use the plain search
    S.reach = 10 * RANGE;
    for (int i = 0; i < primmx; i++) {
        const double r = quad_reach(pri[i]);
        if (S.boxed[i] && r < 2 * scale)
            S.boxed[i] = false;
        else if (S.boxed[i])
            S.reach = std::fmin(S.reach, r - scale);
    }

    // which primitives each search must always try
    int finite[PRIM_MAX], nfinite = 0;
    S.ngridded = 0;
    S.nloose = S.nunbound = S.nplanes = 0;
    for (int i = 0; i < primmx; i++) {
        if (!known_type(pri[i].type))
            continue;
        bool some = false;
        for (int a = 0; S.boxed[i] && a < 3; a++)
            for (double v : {S.box[i].lo[a], S.box[i].hi[a]})
                some = some || std::isfinite(v);
        if (S.boxed[i] && aabb_finite(S.box[i]))
            finite[nfinite++] = i;
        else
            S.loose[S.nloose++] = i;
        // the grids place a plane by the signs of N . d over cells and by
        // |N|; a normal so short that its square underflows has neither
        if (some)
            S.gridded[S.ngridded++] = i;
        else if (pri[i].type == PRIM_PLANE && S.boxed[i] && absmax(pri[i].geom) >= 1e-150)
            S.planes[S.nplanes++] = i; // boxed: its numbers are finite
        else
            S.unbound[S.nunbound++] = i;
    }
    S.scale = scale;
    // every origin within the scale needs at most this much
    S.wide = REL * 2 * scale;
    for (int i = 0; i < primmx; i++)
        if (S.boxed[i])
            for (int a = 0; a < 3; a++) {
                S.box[i].lo[a] -= S.wide;
                S.box[i].hi[a] += S.wide;
            }
    bvh_build(S.tree, finite, nfinite, S.box);

    // the largest |fi| each light can bring: |bright| times the product of
    // max(1, |trans|) over the transparent primitives, which bounds every
    // product of trans a shadow search takes in index order
    double ftrans = 1;
    for (int i = 0; i < primmx; i++)
        if (pri[i].surf == SURF_GLASS)
            ftrans = ftrans * std::fmax(1.0, std::fabs(pri[i].trans));
    for (int j = 0; j < nlg; j++)
        S.fimax[j] = std::fabs(sc.lig[j].bright) * ftrans;
    const int nl = nlg > 0 ? nlg : 0;
    S.hlfloor.assign((size_t)primmx * nl, 0.0);
    for (int i = 0; i < primmx; i++) {
        for (int j = 0; j < nl; j++)
            S.hlfloor[(size_t)i * nl + j] = highlight_floor_of(pri[i], S.fimax[j]);
        S.bits[i] = shade_bits<true>(pri[i]);
    }

    // a small scene is searched whole by secondary rays
    int quads[PRIM_MAX], nquads = 0, known = 0;
    S.nrest = 0;
    for (int i = 0; i < primmx; i++) {
        if (!known_type(pri[i].type))
            continue;
        known++;
        if ((pri[i].type == PRIM_QUADRIC || pri[i].type == PRIM_CONE) && pri[i].nmem <= 0)
            quads[nquads++] = i;
        else
            S.rest[S.nrest++] = i;
    }
    S.whole = known <= WHOLE_MAX;
    if (S.whole)
        quad_set_of(S.Q, pri, quads, nquads);

    S.sc = &sc;
    S.fr = f;
    S.budget = budget;
    S.xlights.resize(nlg > 0 ? (size_t)nlg * primmx : 0);
    S.glight.resize(nlg > 0 ? nlg : 0);
    return prep;
}

int fast_prepare_grids(const fast_prep &S) { return S.fr.neyes + (S.sc->nlg > 0 ? S.sc->nlg : 0); }

// What an eye or a light gives every ray from it: crossp's constants and
// the grid of its rays. Each grid may use the whole budget here;
// fast_prepare_end drops those beyond it.
void fast_prepare_grid(fast_prep &S, int t)
{
    const primrec *pri = S.pri;
    const int primmx = S.primmx;
    if (t < S.fr.neyes) {
        const int e = t;
        const vec &eye = S.fr.eye[e];
        for (int i = 0; i < primmx; i++)
            xprep(S.xeye[e][i], eye, pri[i]);
        S.meye[e] = REL * (absmax(eye) + S.scale);
        screengrid_build(S.seye[e], S.fr, eye, pri, S.box, S.gridded, S.ngridded, S.planes,
                         S.nplanes);
        // by direction only where the picture has no tiles
        S.geye[e].n = 0;
        if (!S.seye[e].tx)
            dirgrid_build(S.geye[e], eye, 64, pri, S.box, S.gridded, S.ngridded, S.planes,
                          S.nplanes, S.budget / 4);
        lower_bounds(S.fareye[e][0], S.seye[e].near, S.meye[e]);
        lower_bounds(S.fareye[e][1], S.geye[e].near, S.meye[e]);
        return;
    }
    const int j = t - S.fr.neyes;
    const vec &lp = S.sc->lig[j].pos;
    for (int i = 0; i < primmx; i++)
        xprep(S.xlights[(size_t)j * primmx + i], lp, pri[i]);
    S.mlight[j] = REL * (absmax(lp) + S.scale);
    dirgrid_build(S.glight[j], lp, light_cells(S.sc->nlg), pri, S.box, S.gridded, S.ngridded,
                  S.planes, S.nplanes, S.budget);
}

// The grids within the budget, the eyes' first, then the lights' in order;
// a light whose grid would go beyond it has none (lit walks the tree).
void fast_prepare_end(fast_prep &S)
{
    size_t left = S.budget;
    for (int e = 0; e < S.fr.neyes; e++)
        left -= S.geye[e].prims.size();
    for (dirgrid &g : S.glight) {
        if (g.prims.size() > left) {
            g.n = 0;
            g.start = std::vector<uint32_t>();
            g.prims = std::vector<uint8_t>();
        } else {
            left -= g.prims.size();
        }
    }
}

fast_prep_ptr fast_prepare(const scene &sc, const frame &f, int path)
{
    fast_prep_ptr prep = fast_prepare_begin(sc, f, path);
    if (prep) {
        for (int t = 0; t < fast_prepare_grids(*prep); t++)
            fast_prepare_grid(*prep, t);
        fast_prepare_end(*prep);
    }
    return prep;
}

void fast_prep_free::operator()(fast_prep *p) const { delete p; }

int fast_kernel_path(const fast_prep &S) { return S.path; }

int fast_tile(const fast_prep &S, int eye, int x, int y)
{
    const screengrid &g = S.seye[eye];
    return g.tx ? screengrid_tile(g, x, y) : -1;
}

fast_tracer::fast_tracer(const scene &s, const fast_prep &prep) : sc(&s), S(&prep)
{
    tile = -1;
    for (int j = 0; j < LIGHT_MAX; j++)
        blocker[j] = -1;
    // room for the scene's lights only: every slot's in a few pages
    const int blocks = (prep.lights.n + 7) / 8 > 0 ? (prep.lights.n + 7) / 8 : 1;
    lg_blocks.resize((size_t)SHADOW_GROUP * blocks);
    for (int i = 0; i < SHADOW_GROUP; i++)
        lg[i].b = lg_blocks.data() + (size_t)i * blocks;
}

namespace {

// A secondary ray in a small scene: every primitive, as the plain search
// tries them (from any origin, the marker's points too).
__attribute__((noinline)) int nearest_whole(const fast_prep &S, const vec &org, const vec &dir,
                                            vec &h)
{
    const primrec *pri = S.pri;
    pick b;
    vec p, q;
    for (int n = 0; n < S.nrest; n++) {
        const int k = S.rest[n];
        crossp_inline(p, org, dir, pri[k], pri);
        b.offer(vlength2(vsub(q, org, p)), k, p);
    }
    S.K->nearest(S.Q, org, dir, b);
    if (b.i >= 0)
        h = b.p;
    return b.i;
}

} // namespace

int fast_tracer::nearest(const vec &org, const vec &dir, int eye, vec &h)
{
    const fast_prep &S = *this->S;
    // from an eye: the list of its tile of the picture, or of its direction
    if (eye >= 0) {
        if (tile >= 0 && S.seye[eye].tx) {
            const screengrid &g = S.seye[eye];
            return nearest_listed(S, org, dir, S.xeye[eye], g.prims.data(), g.start[tile],
                                  g.start[tile + 1], S.fareye[eye][0], h);
        }
        if (S.geye[eye].n) {
            const dirgrid &g = S.geye[eye];
            const int cell = dirgrid_cell(g, dir);
            if (cell >= 0)
                return nearest_listed(S, org, dir, S.xeye[eye], g.prims.data(), g.start[cell],
                                      g.start[cell + 1], S.fareye[eye][1], h);
        }
    } else if (S.whole) {
        return nearest_whole(S, org, dir, h);
    }
    return nearest_tree(org, dir, eye, h);
}

void fast_tracer::nearest_group(const vec &org, const vec *dir, int eye, const int *tile, int n,
                                int *hit, vec *h)
{
    const fast_prep &S = *this->S;
    const primrec *pri = S.pri;
    const screengrid &g = S.seye[eye];
    bool same = n == SHADOW_GROUP && g.tx && tile[0] >= 0;
    for (int r = 1; r < n; r++)
        same = same && tile[r] == tile[0];
    if (!same) {
        for (int r = 0; r < n; r++) {
            this->tile = tile[r];
            hit[r] = nearest(org, dir[r], eye, h[r]);
        }
        return;
    }
    // the rays of one tile share its list: nearest_listed for all at once
    // (a ray tries a few boxes more than alone, which changes no pick)
    near_batch B;
    B.o = org;
    S.K->near_begin(B, dir);
    const xconst *xc = S.xeye[eye];
    auto attempt = [&](int k) __attribute__((always_inline))
    {
        const primrec &pk = pri[k];
        if (pk.nmem <= 0 && known_type(pk.type)) {
            S.K->near_try(B, pk, xc[k], k, nullptr);
            return;
        }
        // with partners: crossx's points ray by ray, weighed side by side
        vec pts[SHADOW_GROUP];
        for (int r = 0; r < SHADOW_GROUP; r++)
            crossx_inline(pts[r], org, dir[r], pk, xc[k], pri);
        S.K->near_try(B, pk, xc[k], k, pts);
    };
    for (int u = 0; u < S.nunbound; u++)
        attempt(S.unbound[u]);
    const uint8_t *list = g.prims.data();
    const double *far = S.fareye[eye][0];
    for (uint32_t e = g.start[tile[0]], end = g.start[tile[0] + 1]; e < end; e++) {
        const int k = list[e];
        // this box, and all after it, lie beyond every ray's best hit
        double m = B.d2[0];
        for (int r = 1; r < SHADOW_GROUP; r++)
            m = B.d2[r] > m ? B.d2[r] : m;
        if (far[k] > m)
            break;
        attempt(k);
    }
    for (int r = 0; r < SHADOW_GROUP; r++) {
        hit[r] = (int)B.i[r];
        if (hit[r] >= 0)
            h[r] = vec{B.x[r], B.y[r], B.z[r]};
    }
}

__attribute__((noinline)) int fast_tracer::nearest_tree(const vec &org, const vec &dir, int eye,
                                                        vec &h)
{
    const fast_prep &S = *this->S;
    const primrec *pri = S.pri;
    // far out, the marker itself could be nearest, or a box too small
    if (!(absmax(org) < S.reach))
        return nearest_plain(*sc, org, dir, h);

    pick b;
    vec p, q;
    // a box whose nearest point lies beyond the best hit cannot hold a nearer one
    auto beyond = [&](double dist, double margin) {
        double lower = dist * (1 - 1e-7) - margin;
        return lower > 0 && lower * lower > b.d2;
    };

    const xconst *xc = eye >= 0 ? S.xeye[eye] : nullptr;
    rayinfo ri;
    ray_setup(S, ri, org, dir, vlength(dir));
    double tn;
    auto offer = [&](int k) {
        if (xc)
            crossx_inline(p, org, dir, pri[k], xc[k], pri);
        else
            crossp_inline(p, org, dir, pri[k], pri);
        b.offer(vlength2(vsub(q, org, p)), k, p);
    };

    // from anywhere: the hierarchy, nearest boxes first
    for (int n = 0; n < S.nloose; n++) {
        int k = S.loose[n];
        if (S.boxed[k] && !hitbox(S.box[k], ri, HUGE_VAL, tn))
            continue;
        offer(k);
    }
    if (S.tree.nnodes) {
        int stack[2 * PRIM_MAX];
        double tstack[2 * PRIM_MAX];
        int sp = 0;
        if (hitbox(S.tree.nodes[0].box, ri, HUGE_VAL, tn)) {
            stack[sp] = 0;
            tstack[sp++] = tn;
        }
        while (sp > 0) {
            --sp;
            const bvhnode &nd = S.tree.nodes[stack[sp]];
            if (beyond(tstack[sp] * ri.dlen, ri.margin))
                continue;
            if (nd.left < 0) {
                for (int i = 0; i < nd.count; i++)
                    offer(S.tree.items[nd.first + i]);
                continue;
            }
            double tl, tr;
            bool hl = hitbox(S.tree.nodes[nd.left].box, ri, HUGE_VAL, tl);
            bool hr = hitbox(S.tree.nodes[nd.right].box, ri, HUGE_VAL, tr);
            // push the farther child first so the nearer one is tried first
            if (hl && hr && tl < tr) {
                stack[sp] = nd.right, tstack[sp++] = tr;
                stack[sp] = nd.left, tstack[sp++] = tl;
            } else {
                if (hl)
                    stack[sp] = nd.left, tstack[sp++] = tl;
                if (hr)
                    stack[sp] = nd.right, tstack[sp++] = tr;
            }
        }
    }
    if (b.i >= 0)
        h = b.p;
    return b.i;
}

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
        : S(S), pri(S.pri), lp(lp), lv(lv), xc(xc), hit(hit), dl2(dl2), lim(lim)
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

bool shadow_tree(shadow_search &ss, int &blocker, double dist, double reach);

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
        f = f * S.pri[dim[a]].trans;
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
    if (c >= ss.S.primmx || !known_type(pri[c].type) || (c != ss.hit && pri[c].surf == SURF_GLASS))
        return false;
    vec p, q;
    crossx_inline(p, ss.lp, ss.lv, pri[c], ss.xc[c], pri);
    return vlength2(vsub(q, p, ss.lp)) < ss.lim;
}

} // namespace

const light_geom &fast_tracer::lights_at(const vec &h, const vec &n, double n2, const vec &u,
                                         bool highlights, int slot)
{
    S->K->geometry(S->lights, h, n, n2, u, highlights, lg[slot]);
    return lg[slot];
}

const double *fast_tracer::highlight_floors(int k) const
{
    return S->hlfloor.data() + (size_t)k * (sc->nlg > 0 ? sc->nlg : 0);
}

double fast_tracer::fi_max(int j) const { return S->fimax[j]; }

unsigned fast_tracer::bits(int k) const { return S->bits[k]; }

bool fast_tracer::lit(int j, const vec &h, int hit, const vec &lv, double dl2, double dist,
                      double &f)
{
    const fast_prep &S = *this->S;
    // A light reaches h only through a point S within 1e-5 of h and less
    // than FAR (squared) from the light; so a light 1e5 away never does.
    if (!(dl2 < 1.0000001e10))
        return false;
    const vec &lp = sc->lig[j].pos;
    double reach, lim;
    shadow_bounds(dist, S.mlight[j], reach, lim);
    shadow_search ss(S, lp, lv, S.xlights.data() + (size_t)j * S.primmx, hit, dl2, lim);

    const dirgrid &g = S.glight[j];
    const int cell = g.n ? dirgrid_cell(g, lv) : -1;
    if (cell >= 0) {
        // Whether the light is blocked, the nearest point that counts and
        // the transparent primitives nearer the light than h do not depend
        // on the order of the tries, and trying a primitive more than the
        // cell lists changes none of them (the plain search tries them
        // all). The primitive that blocked this light last often blocks it
        // again, and the primitive hit often hides h from the light
        // itself, so they go first.
        const int c = blocker[j];
        if (c >= 0 && c != hit && blocks_first(ss, c))
            return false;
        if (!ss.try_k(hit)) {
            blocker[j] = hit;
            return false;
        }
        // the cell lists the boxes nearest the light first: blockers come early
        for (int n = 0; n < S.nunbound; n++) {
            const int k = S.unbound[n];
            if (k != hit && !ss.try_k(k)) {
                blocker[j] = k;
                return false;
            }
        }
        const uint8_t *list = g.prims.data();
        for (uint32_t n = g.start[cell], e = g.start[cell + 1]; n < e; n++) {
            const int k = list[n];
            if (g.near[k] > reach)
                break;
            if (k != hit && !ss.try_k(k)) {
                blocker[j] = k;
                return false;
            }
        }
    } else if (!shadow_tree(ss, blocker[j], dist, reach)) {
        return false;
    }
    blocker[j] = -1; // not blocked: the next search tries no blocker first

    return reaches(S, h, ss.s, ss.dim, ss.ndim, f);
}

namespace {

// shadow_batch's try of candidate k (kernels.h) for a primitive with
// partners: crossx's points ray by ray (the no-hit marker for the rays not
// live), weighed side by side. (R is only ever written whole lanes at a
// time: a wide load of narrow stores stalls.)
unsigned shadow_try_each(const kernels &K, shadow_batch &R, const primrec *pri, const xconst &x,
                         int k, bool glass)
{
    vec pts[SHADOW_GROUP];
    for (int r = 0; r < SHADOW_GROUP; r++) {
        pts[r] = nohit();
        if (R.live[r] == 1) {
            const vec lv{R.lx[r], R.ly[r], R.lz[r]};
            crossx_inline(pts[r], R.lp, lv, pri[k], x, pri);
        }
    }
    return K.shadow_try(R, pri[k], x, k, glass, pts);
}

} // namespace

void fast_tracer::next_round()
{
    if (++round == 0) { // wrapped: forget every stamp
        for (unsigned &t : tried)
            t = 0;
        round = 1;
    }
}

void fast_tracer::lit_group(int j, int n, shadow_ask *a, bool *ok, double *f)
{
    const fast_prep &S = *this->S;
    const primrec *pri = S.pri;
    const dirgrid &g = S.glight[j];
    // one search each: without a grid lit walks the tree, and a light too
    // far for the grid's test lights nothing
    bool apart = n < 2 || !g.n;
    double far_dist = 0;
    for (int r = 0; r < n; r++) {
        ok[r] = false;
        apart = apart || !(a[r].dl2 < 1.0000001e10);
        far_dist = a[r].dist > far_dist ? a[r].dist : far_dist;
    }
    if (apart) {
        for (int r = 0; r < n; r++)
            ok[r] = lit(j, a[r].h, (int)a[r].hit, a[r].lv, a[r].dl2, a[r].dist, f[r]);
        return;
    }
    for (int r = n; r < SHADOW_GROUP; r++)
        a[r] = shadow_ask{{0, 0, 0}, {0, 0, 0}, 0, 0, -1};
    shadow_batch R;
    S.K->shadow_begin(R, a, n, g.n);
    R.lp = sc->lig[j].pos;

    // Each ray's search tries its hit, the primitives without a box and
    // its cell's list up to its reach; trying the union of them for all,
    // as the plain search tries everything, changes no answer.
    next_round();
    const xconst *xc = S.xlights.data() + (size_t)j * S.primmx;
    int dim[SHADOW_GROUP][PRIM_MAX], ndim[SHADOW_GROUP] = {};
    unsigned left = (1u << n) - 1; // the rays not known to be blocked
    int by = -1;
    // false once every ray is blocked
    auto attempt = [&](int k) __attribute__((always_inline))
    {
        tried[k] = round;
        const primrec &pk = pri[k];
        const bool glass = pk.surf == SURF_GLASS;
        const bool lanes = pk.nmem <= 0 && known_type(pk.type);
        const unsigned got = lanes ? S.K->shadow_try(R, pk, xc[k], k, glass, nullptr)
                                   : shadow_try_each(*S.K, R, pri, xc[k], k, glass);
        for (unsigned d = shadow_dimmed(got); d; d &= d - 1) {
            const int r = __builtin_ctz(d);
            dim[r][ndim[r]++] = k;
        }
        if (shadow_blocked(got)) {
            by = k;
            left &= ~shadow_blocked(got);
        }
        return left != 0;
    };
    // the last blocker and the hits first: they often settle it
    bool open = true;
    int first[SHADOW_GROUP + 1], nfirst = 0; // what they tried
    const int c = blocker[j];
    if (c >= 0 && c < S.primmx && known_type(pri[c].type)) {
        open = attempt(c);
        first[nfirst++] = c;
    }
    for (int r = 0; open && r < n; r++)
        if (tried[(int)a[r].hit] != round) {
            open = attempt((int)a[r].hit);
            first[nfirst++] = (int)a[r].hit;
        }
    blocker[j] = by;
    if (!open)
        return;
    // The rest from the cells' lists: the open rays of one cell at a time
    // (most often all of them), the others set aside meanwhile.
    double reach, lim; // the farthest ray's, which no other ray's passes
    shadow_bounds(far_dist, S.mlight[j], reach, lim);
    const unsigned open_rays = left;
    for (unsigned todo = open_rays; todo;) {
        const double cell = R.cell[__builtin_ctz(todo)];
        unsigned part = 0;
        for (unsigned o = todo; o; o &= o - 1)
            if (R.cell[__builtin_ctz(o)] == cell)
                part |= 1u << __builtin_ctz(o);
        todo &= ~part;
        if (cell < 0) {
            // no cell (a direction too short to place): lit's own way
            for (unsigned o = part; o; o &= o - 1) {
                const int r = __builtin_ctz(o);
                left &= ~(1u << r);
                ok[r] = lit(j, a[r].h, (int)a[r].hit, a[r].lv, a[r].dl2, a[r].dist, f[r]);
            }
            S.K->shadow_live(R, left);
            continue;
        }
        if (part != open_rays) {
            // these rays alone: what was tried for all counts for them too
            S.K->shadow_live(R, part & left);
            next_round();
            for (int b = 0; b < nfirst; b++)
                tried[first[b]] = round;
        }
        const int at = (int)cell;
        open = true;
        for (int u = 0; open && u < S.nunbound; u++)
            if (tried[S.unbound[u]] != round)
                open = attempt(S.unbound[u]) && (left & part);
        const uint8_t *list = g.prims.data();
        for (uint32_t e = g.start[at], end = g.start[at + 1]; open && e < end; e++) {
            const int k = list[e];
            if (g.near[k] > reach)
                break;
            if (tried[k] != round)
                open = attempt(k) && (left & part);
        }
        if (part != open_rays) // the next part starts from what was tried for all
            S.K->shadow_live(R, open_rays & left);
    }
    blocker[j] = by;
    if (!left)
        return;
    const unsigned near = S.K->shadow_end(R, LIT_EPS2);
    for (int r = 0; r < n; r++)
        if (near >> r & 1) {
            ok[r] = true;
            f[r] = dimmed_by(S, dim[r], ndim[r]);
        }
}

namespace {

// The shadow search through the hierarchy, for a light without a grid:
// false when the light is blocked.
bool shadow_tree(shadow_search &ss, int &blocker, double dist, double reach)
{
    const fast_prep &S = ss.S;
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
    for (int n = 0; n < S.nloose; n++) {
        int k = S.loose[n];
        if (S.boxed[k] && !hitbox(S.box[k], ri, tmax, tn))
            continue;
        if (!test(k))
            return false;
    }
    if (!S.tree.nnodes)
        return true;
    int stack[2 * PRIM_MAX];
    int sp = 0;
    if (hitbox(S.tree.nodes[0].box, ri, tmax, tn))
        stack[sp++] = 0;
    while (sp > 0) {
        const bvhnode &nd = S.tree.nodes[stack[--sp]];
        if (nd.left < 0) {
            for (int i = 0; i < nd.count; i++)
                if (!test(S.tree.items[nd.first + i]))
                    return false;
            continue;
        }
        if (hitbox(S.tree.nodes[nd.right].box, ri, tmax, tn))
            stack[sp++] = nd.right;
        if (hitbox(S.tree.nodes[nd.left].box, ri, tmax, tn))
            stack[sp++] = nd.left;
    }
    return true;
}

} // namespace

colr &calc_fast(fast_tracer &tr, colr &out, const vec &org, const vec &dir, int depth, int eye)
{
    return shade(tr, out, org, dir, depth, eye);
}

void calc_fast_group(fast_tracer &tr, colr *out, const vec &org, const vec *dir, const int *tile,
                     int n, int depth, int eye)
{
    shade_group(tr, out, org, dir, tile, n, depth, eye);
}
