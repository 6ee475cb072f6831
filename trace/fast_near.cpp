// The accelerated tracer's nearest-hit search (fast.h): a primary ray tries
// its tile's list (or its direction cell's), a secondary ray in a small
// scene every primitive, any other ray the primitives whose boxes it meets
// in the tree; rays from far out search plainly.
#include "fast_prep.h"

using namespace fast_detail;

namespace {

// The nearest hit among the unbounded primitives and a list sorted by the
// distance of their boxes from the eye: far[k] is the squared lower bound
// of primitive k's hit distance, -1 when it is none.
int nearest_listed(const fast_prep &S, const vec &org, const vec &dir, const xconst *xc,
                   const uint8_t *list, uint32_t from, uint32_t to, const double *far, vec &h)
{
    const primrec *pri = S.scope.pri;
    pick b;
    vec p, q;
    for (int n = 0; n < S.boxes.nunbound; n++) {
        int k = S.boxes.unbound[n];
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

// A secondary ray in a small scene: every primitive, as the plain search
// tries them (from any origin, the marker's points too).
__attribute__((noinline)) int nearest_whole(const fast_prep &S, const vec &org, const vec &dir,
                                            vec &h)
{
    const primrec *pri = S.scope.pri;
    const prep_small &W = S.small;
    pick b;
    vec p, q;
    for (int n = 0; n < W.nrest; n++) {
        const int k = W.rest[n];
        crossp_inline(p, org, dir, pri[k], pri);
        b.offer(vlength2(vsub(q, org, p)), k, p);
    }
    S.K->nearest(W.Q, org, dir, b);
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
        const prep_eye &E = S.eye[eye];
        if (tile >= 0 && E.tiles.tx) {
            const screengrid &g = E.tiles;
            return nearest_listed(S, org, dir, E.x, g.prims.data(), g.start[tile],
                                  g.start[tile + 1], E.far_tiles, h);
        }
        if (E.dirs.n) {
            const dirgrid &g = E.dirs;
            const int cell = dirgrid_cell(g, dir);
            if (cell >= 0)
                return nearest_listed(S, org, dir, E.x, g.prims.data(), g.start[cell],
                                      g.start[cell + 1], E.far_dirs, h);
        }
    } else if (S.small.whole) {
        return nearest_whole(S, org, dir, h);
    }
    return nearest_tree(org, dir, eye, h);
}

void fast_tracer::nearest_group(const vec &org, const vec *dir, int eye, const int *tile, int n,
                                int *hit, vec *h)
{
    const fast_prep &S = *this->S;
    const primrec *pri = S.scope.pri;
    const prep_eye &E = S.eye[eye];
    const screengrid &g = E.tiles;
    // Search one by one unless the rays fill a group in one tile
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
    // The rays of one tile share its list: nearest_listed for all at once
    // (a ray tries a few boxes more than alone, which changes no pick)
    near_batch B;
    B.o = org;
    S.K->near_begin(B, dir);
    const xconst *xc = E.x;
    auto attempt = [&](int k) { S.K->near_try(B, pri, xc[k], k); };
    for (int u = 0; u < S.boxes.nunbound; u++)
        attempt(S.boxes.unbound[u]);
    const uint8_t *list = g.prims.data();
    const double *far = E.far_tiles;
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

// Whether box b holds point o.
inline bool holds(const aabb &b, const vec &o)
{
    return b.lo[0] <= o.x && o.x <= b.hi[0] && b.lo[1] <= o.y && o.y <= b.hi[1] && b.lo[2] <= o.z &&
           o.z <= b.hi[2];
}

// A ray from a point of primitive `on` that meets it again: its point p
// and the ray up to it lie in on's box. A primitive that is met nearer,
// or as near with a lower index, has its point, but for rounding, on that
// stretch of the ray, and in its own box too: so its box meets on's, grown
// by wide (far more than the rounding), or it has none. Only those
// (prep_boxes' meets) need trying. The boxes hold the points of rays from
// origins within the scale as they are; rays from farther out, and those
// that do not meet `on`, search as any other.
int fast_tracer::nearest_from(const vec &org, const vec &dir, int on, vec &h)
{
    const fast_prep &S = *this->S;
    const prep_boxes &B = S.boxes;
    if (on >= 0 && B.meet_from[on] >= 0 && absmax(org) <= S.scope.scale && holds(B.box[on], org)) {
        const primrec *pri = S.scope.pri;
        pick b;
        vec p, q;
        crossp_inline(p, org, dir, pri[on], pri);
        b.offer(vlength2(vsub(q, org, p)), on, p);
        if (b.i == on) {
            for (int n = B.meet_from[on]; n < B.meet_to[on]; n++) {
                const int k = B.meets[n];
                crossp_inline(p, org, dir, pri[k], pri);
                b.offer(vlength2(vsub(q, org, p)), k, p);
            }
            h = b.p;
            return b.i;
        }
    }
    return nearest(org, dir, -1, h);
}

// The rays of a small scene SHADOW_GROUP at a time, each against every
// primitive (nearest_whole's search), side by side in the kernels' lanes.
void fast_tracer::nearest_all(ray_node *t, int n)
{
    const fast_prep &S = *this->S;
    if (!S.small.spread) {
        for (int i = 0; i < n; i++)
            t[i].hit = nearest_from(t[i].org, t[i].dir, t[i].on, t[i].h);
        return;
    }
    const primrec *pri = S.scope.pri;
    for (int b = 0; b < n; b += SHADOW_GROUP) {
        const int m = n - b < SHADOW_GROUP ? n - b : SHADOW_GROUP;
        vec org[SHADOW_GROUP], dir[SHADOW_GROUP];
        for (int r = 0; r < SHADOW_GROUP; r++) {
            const ray_node &u = t[b + (r < m ? r : 0)]; // padded with the first
            org[r] = u.org;
            dir[r] = u.dir;
        }
        spread_batch B;
        S.K->spread_begin(B, org, dir);
        for (int k = 0; k < S.scope.primmx; k++)
            if (known_type(pri[k].type))
                S.K->spread_try(B, pri, k);
        for (int r = 0; r < m; r++) {
            ray_node &u = t[b + r];
            u.hit = (int)B.i[r];
            if (u.hit >= 0)
                u.h = vec{B.x[r], B.y[r], B.z[r]};
        }
    }
}

__attribute__((noinline)) int fast_tracer::nearest_tree(const vec &org, const vec &dir, int eye,
                                                        vec &h)
{
    const fast_prep &S = *this->S;
    const prep_boxes &Bx = S.boxes;
    const primrec *pri = S.scope.pri;
    // far out, the marker itself could be nearest, or a box too small
    if (!(absmax(org) < S.scope.reach))
        return nearest_plain(*sc, org, dir, h);

    pick b;
    vec p, q;
    // a box whose nearest point lies beyond the best hit cannot hold a nearer one
    auto beyond = [&](double dist, double margin) {
        double lower = dist * (1 - 1e-7) - margin;
        return lower > 0 && lower * lower > b.d2;
    };

    const xconst *xc = eye >= 0 ? S.eye[eye].x : nullptr;
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

    // Try the primitives outside the tree whose boxes the ray meets
    for (int n = 0; n < Bx.nloose; n++) {
        int k = Bx.loose[n];
        if (Bx.boxed[k] && !hitbox(Bx.box[k], ri, HUGE_VAL, tn))
            continue;
        offer(k);
    }
    // Walk the tree, nearest boxes first
    if (Bx.tree.nnodes) {
        int stack[2 * PRIM_MAX];
        double tstack[2 * PRIM_MAX];
        int sp = 0;
        if (hitbox(Bx.tree.nodes[0].box, ri, HUGE_VAL, tn)) {
            stack[sp] = 0;
            tstack[sp++] = tn;
        }
        while (sp > 0) {
            --sp;
            const bvhnode &nd = Bx.tree.nodes[stack[sp]];
            if (beyond(tstack[sp] * ri.dlen, ri.margin))
                continue;
            if (nd.left < 0) {
                for (int i = 0; i < nd.count; i++)
                    offer(Bx.tree.items[nd.first + i]);
                continue;
            }
            double tl, tr;
            bool hl = hitbox(Bx.tree.nodes[nd.left].box, ri, HUGE_VAL, tl);
            bool hr = hitbox(Bx.tree.nodes[nd.right].box, ri, HUGE_VAL, tr);
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
