#include "screengrid.h"

#include "gridlist.h"

#include <cmath>

namespace {

struct span {
    int x0, x1, y0, y1; // dots, inclusive
};

// What placing a box on the picture needs: a ray through window point
// (su, sv) has direction d0 + su uvec + sv vvec, and d0's parts along the
// look direction n and the screen vectors.
struct screen_view {
    vec eye, n, uvec, vvec;
    double d0n, d0u, d0v;
    double wdu;  // the window's width
    int w, h;    // the picture's width and height
    double W, H; // the same as numbers
    span all;    // every dot
};

// false when the camera is degenerate: no tiles then.
bool view_of(screen_view &v, const frame &f, const vec &eye)
{
    if (f.w <= 0 || f.h <= 0 || !(f.wdu > 0))
        return false;
    v.eye = eye;
    v.n = f.dir;
    v.uvec = f.uvec;
    v.vvec = f.vvec;
    vec d0;
    vsub(d0, f.look, eye);
    v.d0n = vspro(d0, v.n), v.d0u = vspro(d0, v.uvec), v.d0v = vspro(d0, v.vvec);
    if (!(v.d0n < 0) || !std::isfinite(v.d0n) || !std::isfinite(v.d0u) || !std::isfinite(v.d0v))
        return false;
    v.wdu = f.wdu;
    v.w = f.w;
    v.h = f.h;
    v.W = f.w;
    v.H = f.h;
    v.all = span{0, f.w - 1, 0, f.h - 1};
    return true;
}

// The dots onto which box b can project, with two to spare; all of them
// when a corner lies beside or behind the eye.
span project(const aabb &b, const screen_view &v)
{
    const vec &eye = v.eye;
    const double W = v.W, H = v.H;
    double x0 = HUGE_VAL, x1 = -HUGE_VAL, y0 = HUGE_VAL, y1 = -HUGE_VAL;
    for (int c = 0; c < 8; c++) {
        vec q{(c & 1 ? b.hi[0] : b.lo[0]) - eye.x, (c & 2 ? b.hi[1] : b.lo[1]) - eye.y,
              (c & 4 ? b.hi[2] : b.lo[2]) - eye.z};
        double qn = vspro(q, v.n);
        // a corner beside or behind the eye, or far off the axis: anywhere
        if (!(qn < 0) || !(-qn > 1e-6 * vlength(q)))
            return v.all;
        double t = qn / v.d0n;
        double su = vspro(q, v.uvec) / t - v.d0u, sv = vspro(q, v.vvec) / t - v.d0v;
        double x = (su / v.wdu + 0.5) * W, y = H * 0.5 - sv * W / v.wdu;
        if (!std::isfinite(x) || !std::isfinite(y))
            return v.all;
        x0 = std::fmin(x0, x), x1 = std::fmax(x1, x);
        y0 = std::fmin(y0, y), y1 = std::fmax(y1, y);
    }
    if (x1 < -2 || y1 < -2 || x0 > W + 2 || y0 > H + 2)
        return span{1, 0, 1, 0};
    const int w = v.w, h = v.h;
    span s;
    s.x0 = x0 < 2 ? 0 : (int)x0 - 2;
    s.y0 = y0 < 2 ? 0 : (int)y0 - 2;
    s.x1 = x1 > W - 3 ? w - 1 : (int)x1 + 2;
    s.y1 = y1 > H - 3 ? h - 1 : (int)y1 + 2;
    return s;
}

} // namespace

void screengrid_build(screengrid &g, const frame &f, const vec &eye, const primrec *tab,
                      const aabb *box, const int *items, int nitems, const int *planes, int nplanes)
{
    g.tx = g.ty = 0;
    screen_view v;
    if (!view_of(v, f, eye))
        return;

    // Find each primitive's dots, nearest primitive first
    grid_order o;
    grid_order_of(o, g.near, eye, tab, box, items, nitems, planes, nplanes);
    span spans[PRIM_MAX];
    for (int k = 0; k < o.n; k++) {
        const int i = o.item[k];
        spans[i] = !o.plane[i] && aabb_finite(box[i]) ? project(box[i], v) : v.all;
    }

    // List them in the tiles their dots fall in
    const int tx = (f.w + TILE_W - 1) / TILE_W, ty = (f.h + TILE_H - 1) / TILE_H;
    gridlist_build(g.start, g.prims, (size_t)tx * ty, SIZE_MAX, [&](auto &&visit) {
        for (int k = 0; k < o.n; k++) {
            const span &s = spans[o.item[k]];
            for (int j = s.y0 / TILE_H; s.y0 <= s.y1 && j <= s.y1 / TILE_H; j++)
                for (int i = s.x0 / TILE_W; s.x0 <= s.x1 && i <= s.x1 / TILE_W; i++)
                    visit((size_t)j * tx + i, o.item[k]);
        }
        return true;
    });
    g.tx = tx;
    g.ty = ty;
}
