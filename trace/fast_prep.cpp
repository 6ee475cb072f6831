// Preparing a scene for the accelerated tracer (fast.h): the boxes and the
// tree, which primitives each search tries, the eyes' and lights' grids,
// the shading shortcuts.
#include "fast_prep.h"

#include "bounds.h"
#include "shade_impl.h"

#include <cfloat>

using namespace fast_detail;

namespace {

// In scenes of at most this many primitives a secondary ray tries them all,
// the quadrics side by side (kernels.h), rather than walk the tree.
constexpr int WHOLE_MAX = 24;
// In scenes of at most this many a level of a group's secondary rays tries
// them all, SHADOW_GROUP rays side by side (fast_near.cpp's nearest_all).
constexpr int SPREAD_MAX = 48;

// How far out (absmax of the origin plus the scale) rays may start for
// the box of quadric p to hold the points crossp returns. Rounding in the
// discriminant admits points whose form is up to about 16 eps Kmax |P|^2
// above 1, which lie up to rmax times half that outside the box, and the
// widening of a ray from there is FAST_REL times that distance. Infinite
// for a primitive that is no such quadric.
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
    return FAST_REL / (24 * DBL_EPSILON * kmax * rmax);
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

// far[] of a list sorted by near[]: the squared distance within which no
// hit of primitive k can lie, widened for rounding; -1 when there is none.
void lower_bounds(double *far, const double *near, double margin)
{
    for (int k = 0; k < PRIM_MAX; k++) {
        double lower = near[k] * (1 - 1e-7) - margin;
        far[k] = lower > 0 ? lower * lower : -1;
    }
}

// scale: the largest coordinate of the eyes and the lights. false when one
// lies beyond FAST_RANGE, where the marker at FAR could take part.
bool eyes_and_lights_in_range(const scene &sc, const frame &f, double &scale)
{
    scale = 0;
    for (int e = 0; e < f.neyes; e++) {
        if (!(absmax(f.eye[e]) < FAST_RANGE))
            return false;
        scale = std::fmax(scale, absmax(f.eye[e]));
    }
    for (int j = 0; j < sc.nlg; j++) {
        if (!(absmax(sc.lig[j].pos) < FAST_RANGE))
            return false;
        scale = std::fmax(scale, absmax(sc.lig[j].pos));
    }
    return true;
}

// Each primitive's box, where it has one, with scale raised to their finite
// limits. false when a limit lies beyond FAST_RANGE.
bool bound_primitives(prep_boxes &B, const scene &sc, double &scale)
{
    for (int i = 0; i < sc.primmx; i++) {
        B.boxed[i] = known_type(sc.pri[i].type) && prim_bounds(B.box[i], sc, i);
        for (int a = 0; B.boxed[i] && a < 3; a++)
            for (double v : {B.box[i].lo[a], B.box[i].hi[a]})
                if (std::isfinite(v)) {
                    if (!(std::fabs(v) < FAST_RANGE))
                        return false;
                    scale = std::fmax(scale, std::fabs(v));
                }
    }
    return true;
}

// A quadric so flat that rounding spreads its hits beyond its box, for
// rays from the eyes and the lights, loses its box; the reach of the
// others (rays from farther out use the plain search) is returned.
double drop_flat_quadrics(prep_boxes &B, const primrec *pri, int primmx, double scale)
{
    double reach = 10 * FAST_RANGE;
    for (int i = 0; i < primmx; i++) {
        const double r = quad_reach(pri[i]);
        if (B.boxed[i] && r < 2 * scale)
            B.boxed[i] = false;
        else if (B.boxed[i])
            reach = std::fmin(reach, r - scale);
    }
    return reach;
}

// Which primitives each search must always try: those with finite boxes
// (in finite[], returned: how many) go into the tree, the others are loose;
// the grids place the ones with some finite limit by their boxes and planes
// by their normals, and list the rest everywhere.
int sort_primitives(prep_boxes &B, const primrec *pri, int primmx, int *finite)
{
    int nfinite = 0;
    B.ngridded = 0;
    B.nloose = B.nunbound = B.nplanes = 0;
    for (int i = 0; i < primmx; i++) {
        if (!known_type(pri[i].type))
            continue;
        bool some = false;
        for (int a = 0; B.boxed[i] && a < 3; a++)
            for (double v : {B.box[i].lo[a], B.box[i].hi[a]})
                some = some || std::isfinite(v);
        if (B.boxed[i] && aabb_finite(B.box[i]))
            finite[nfinite++] = i;
        else
            B.loose[B.nloose++] = i;
        // the grids place a plane by the signs of N . d over cells and by
        // |N|; a normal so short that its square underflows has neither
        if (some)
            B.gridded[B.ngridded++] = i;
        else if (pri[i].type == PRIM_PLANE && B.boxed[i] && absmax(pri[i].geom) >= 1e-150)
            B.planes[B.nplanes++] = i; // boxed: its numbers are finite
        else
            B.unbound[B.nunbound++] = i;
    }
    return nfinite;
}

void widen_boxes(prep_boxes &B, int primmx, double wide)
{
    for (int i = 0; i < primmx; i++)
        if (B.boxed[i])
            for (int a = 0; a < 3; a++) {
                B.box[i].lo[a] -= wide;
                B.box[i].hi[a] += wide;
            }
}

// Whether boxes a and b meet, a grown by m.
bool boxes_meet(const aabb &a, const aabb &b, double m)
{
    for (int x = 0; x < 3; x++)
        if (!(a.lo[x] - m <= b.hi[x] && b.lo[x] <= a.hi[x] + m))
            return false;
    return true;
}

// prep_boxes' meets: for each primitive with a finite box, the others
// whose (widened) boxes meet it grown by wide, and those without a box.
void find_meets(prep_boxes &B, const primrec *pri, int primmx, double wide)
{
    B.meets.clear();
    for (int k = 0; k < primmx; k++) {
        const int at = (int)B.meets.size();
        B.meet_from[k] = -1;
        if (!(B.boxed[k] && aabb_finite(B.box[k]) && wide > 0))
            continue;
        B.meet_from[k] = at;
        for (int q = 0; q < primmx; q++)
            if (q != k && known_type(pri[q].type) &&
                (!B.boxed[q] || boxes_meet(B.box[k], B.box[q], wide)))
                B.meets.push_back((uint8_t)q);
        B.meet_to[k] = (int)B.meets.size();
    }
}

// The shortcuts' numbers: each light's fi_max, the highlight floors and
// each primitive's shade_bits.
void prepare_shading(prep_shading &H, prep_lights &L, const scene &sc)
{
    const primrec *pri = sc.pri;
    const int primmx = sc.primmx, nlg = sc.nlg;
    // the largest |fi| each light can bring: |bright| times the product of
    // max(1, |trans|) over the transparent primitives, which bounds every
    // product of trans a shadow search takes in index order
    double ftrans = 1;
    for (int i = 0; i < primmx; i++)
        if (pri[i].surf == SURF_GLASS)
            ftrans = ftrans * std::fmax(1.0, std::fabs(pri[i].trans));
    for (int j = 0; j < nlg; j++)
        L.fimax[j] = std::fabs(sc.lig[j].bright) * ftrans;
    const int nl = nlg > 0 ? nlg : 0;
    H.hlfloor.assign((size_t)primmx * nl, 0.0);
    for (int i = 0; i < primmx; i++) {
        for (int j = 0; j < nl; j++)
            H.hlfloor[(size_t)i * nl + j] = highlight_floor_of(pri[i], L.fimax[j]);
        H.bits[i] = shade_bits<true>(pri[i]);
    }
}

// Whether the scene is small enough to be searched whole by secondary
// rays, and its primitives sorted for that search.
void prepare_small(prep_small &W, const primrec *pri, int primmx)
{
    int quads[PRIM_MAX], nquads = 0, known = 0;
    W.nrest = 0;
    for (int i = 0; i < primmx; i++) {
        if (!known_type(pri[i].type))
            continue;
        known++;
        if ((pri[i].type == PRIM_QUADRIC || pri[i].type == PRIM_CONE) && pri[i].nmem <= 0)
            quads[nquads++] = i;
        else
            W.rest[W.nrest++] = i;
    }
    W.whole = known <= WHOLE_MAX;
    W.spread = known <= SPREAD_MAX;
    if (W.whole)
        quad_set_of(W.Q, pri, quads, nquads);
}

// Eye e's constants, tiles and, where it has no tiles, direction grid.
void prepare_eye(fast_prep &S, int e)
{
    const prep_scope &P = S.scope;
    const prep_boxes &B = S.boxes;
    prep_eye &E = S.eye[e];
    const vec &eye = P.fr.eye[e];
    for (int i = 0; i < P.primmx; i++)
        xprep(E.x[i], eye, P.pri[i]);
    E.margin = FAST_REL * (absmax(eye) + P.scale);
    screengrid_build(E.tiles, P.fr, eye, P.pri, B.box, B.gridded, B.ngridded, B.planes, B.nplanes);
    // by direction only where the picture has no tiles
    E.dirs.n = 0;
    if (!E.tiles.tx)
        dirgrid_build(E.dirs, eye, 64, P.pri, B.box, B.gridded, B.ngridded, B.planes, B.nplanes,
                      S.budget / 4);
    lower_bounds(E.far_tiles, E.tiles.near, E.margin);
    lower_bounds(E.far_dirs, E.dirs.near, E.margin);
}

// Light j's constants and direction grid.
void prepare_light(fast_prep &S, int j)
{
    const prep_scope &P = S.scope;
    const prep_boxes &B = S.boxes;
    prep_lights &L = S.lights;
    const vec &lp = P.sc->lig[j].pos;
    for (int i = 0; i < P.primmx; i++)
        xprep(L.x[(size_t)j * P.primmx + i], lp, P.pri[i]);
    L.margin[j] = FAST_REL * (absmax(lp) + P.scale);
    dirgrid_build(L.grid[j], lp, light_cells(P.sc->nlg), P.pri, B.box, B.gridded, B.ngridded,
                  B.planes, B.nplanes, S.budget);
}

} // namespace

fast_prep_ptr fast_prepare_begin(const scene &sc, const frame &f, int path, size_t budget)
{
    fast_prep_ptr prep(new fast_prep);
    fast_prep &S = *prep;
    prep_scope &P = S.scope;
    P.sc = &sc;
    P.pri = sc.pri;
    P.primmx = sc.primmx;
    P.fr = f;
    S.path = kernel_path_usable(path);
    S.K = &kernels_of(S.path);
    S.budget = budget;
    light_pos_of(S.lights.pos, sc.lig, sc.nlg);

    // Find the scale, everything within FAST_RANGE, so that the marker at
    // FAR never takes part
    double scale;
    if (!eyes_and_lights_in_range(sc, f, scale) || !bound_primitives(S.boxes, sc, scale))
        return nullptr;
    P.reach = drop_flat_quadrics(S.boxes, sc.pri, sc.primmx, scale);
    P.scale = scale;

    // Compute the tree over the finite boxes, widened for every origin
    // within the scale
    int finite[PRIM_MAX];
    const int nfinite = sort_primitives(S.boxes, sc.pri, sc.primmx, finite);
    P.wide = FAST_REL * 2 * scale;
    widen_boxes(S.boxes, sc.primmx, P.wide);
    find_meets(S.boxes, sc.pri, sc.primmx, P.wide);
    bvh_build(S.boxes.tree, finite, nfinite, S.boxes.box);

    prepare_shading(S.shading, S.lights, sc);
    prepare_small(S.small, sc.pri, sc.primmx);
    // room for the lights' constants and grids, filled by fast_prepare_grid
    const int nlg = sc.nlg;
    S.lights.x.resize(nlg > 0 ? (size_t)nlg * sc.primmx : 0);
    S.lights.grid.resize(nlg > 0 ? nlg : 0);
    return prep;
}

int fast_prepare_grids(const fast_prep &S)
{
    return S.scope.fr.neyes + (S.scope.sc->nlg > 0 ? S.scope.sc->nlg : 0);
}

// What an eye or a light gives every ray from it: crossp's constants and
// the grid of its rays. Each grid may use the whole budget here;
// fast_prepare_end drops those beyond it.
void fast_prepare_grid(fast_prep &S, int t)
{
    if (t < S.scope.fr.neyes)
        prepare_eye(S, t);
    else
        prepare_light(S, t - S.scope.fr.neyes);
}

// The grids within the budget, the eyes' first, then the lights' in order;
// a light whose grid would go beyond it has none (lit walks the tree).
void fast_prepare_end(fast_prep &S)
{
    size_t left = S.budget;
    for (int e = 0; e < S.scope.fr.neyes; e++)
        left -= S.eye[e].dirs.prims.size();
    for (dirgrid &g : S.lights.grid) {
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
    const screengrid &g = S.eye[eye].tiles;
    return g.tx ? screengrid_tile(g, x, y) : -1;
}
