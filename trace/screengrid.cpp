#include "screengrid.h"

#include <algorithm>
#include <cmath>

namespace {

struct span {
    int x0, x1, y0, y1; // dots, inclusive
};

double box_distance(const aabb &b, const vec &o)
{
    const double oo[3] = {o.x, o.y, o.z};
    double s = 0;
    for (int a = 0; a < 3; a++) {
        double lo = b.lo[a] - oo[a], hi = b.hi[a] - oo[a];
        double g = lo > 0 ? lo : hi < 0 ? -hi : 0;
        s += g * g;
    }
    return std::sqrt(s);
}

} // namespace

void screengrid_build(screengrid &g, const frame &f, const vec &eye, const primrec *tab,
                      const aabb *box, const int *items, int nitems, const int *planes, int nplanes)
{
    g.tx = g.ty = 0;
    const int w = f.w, h = f.h;
    const double wdu = f.wdu;
    const vec &uvec = f.uvec, &vvec = f.vvec;
    if (w <= 0 || h <= 0 || !(wdu > 0))
        return;
    // a ray through window point (su, sv) has direction d0 + su u + sv v
    const vec &n = f.dir;
    vec d0;
    vsub(d0, f.look, eye);
    const double d0n = vspro(d0, n), d0u = vspro(d0, uvec), d0v = vspro(d0, vvec);
    if (!(d0n < 0) || !std::isfinite(d0n) || !std::isfinite(d0u) || !std::isfinite(d0v))
        return;
    const double W = w, H = h;
    const span all{0, w - 1, 0, h - 1};

    // the dots onto which box b can project
    auto project = [&](const aabb &b) {
        double x0 = HUGE_VAL, x1 = -HUGE_VAL, y0 = HUGE_VAL, y1 = -HUGE_VAL;
        for (int c = 0; c < 8; c++) {
            vec q{(c & 1 ? b.hi[0] : b.lo[0]) - eye.x, (c & 2 ? b.hi[1] : b.lo[1]) - eye.y,
                  (c & 4 ? b.hi[2] : b.lo[2]) - eye.z};
            double qn = vspro(q, n);
            // a corner beside or behind the eye, or far off the axis: anywhere
            if (!(qn < 0) || !(-qn > 1e-6 * vlength(q)))
                return all;
            double t = qn / d0n;
            double su = vspro(q, uvec) / t - d0u, sv = vspro(q, vvec) / t - d0v;
            double x = (su / wdu + 0.5) * W, y = H * 0.5 - sv * W / wdu;
            if (!std::isfinite(x) || !std::isfinite(y))
                return all;
            x0 = std::fmin(x0, x), x1 = std::fmax(x1, x);
            y0 = std::fmin(y0, y), y1 = std::fmax(y1, y);
        }
        if (x1 < -2 || y1 < -2 || x0 > W + 2 || y0 > H + 2)
            return span{1, 0, 1, 0};
        span s;
        s.x0 = x0 < 2 ? 0 : (int)x0 - 2;
        s.y0 = y0 < 2 ? 0 : (int)y0 - 2;
        s.x1 = x1 > W - 3 ? w - 1 : (int)x1 + 2;
        s.y1 = y1 > H - 3 ? h - 1 : (int)y1 + 2;
        return s;
    };

    int order[PRIM_MAX], norder = 0;
    span spans[PRIM_MAX];
    for (int k = 0; k < nitems; k++) {
        int i = items[k];
        g.near[i] = box_distance(box[i], eye);
        spans[i] = aabb_finite(box[i]) ? project(box[i]) : all;
        order[norder++] = i;
    }
    for (int k = 0; k < nplanes; k++) {
        int i = planes[k];
        vec wv;
        vsub(wv, tab[i].pos, eye);
        double wn = vspro(wv, tab[i].geom);
        if (wn == 0)
            continue; // rays from the plane itself never meet it
        // 0 where the numbers overflow into no number, which would upset
        // the order below
        const double near = std::fabs(wn) / vlength(tab[i].geom) * (1 - 1e-9);
        g.near[i] = near == near ? near : 0;
        spans[i] = all;
        order[norder++] = i;
    }
    std::stable_sort(order, order + norder, [&](int x, int y) { return g.near[x] < g.near[y]; });

    const int tx = (w + TILE_W - 1) / TILE_W, ty = (h + TILE_H - 1) / TILE_H;
    const size_t ntiles = (size_t)tx * ty;
    // counted in start[t + 1], then summed into the starts; the filling
    // moves each start[t] on to the end of tile t, shifted back after
    g.start.assign(ntiles + 1, 0);
    for (int k = 0; k < norder; k++) {
        const span &s = spans[order[k]];
        for (int j = s.y0 / TILE_H; s.y0 <= s.y1 && j <= s.y1 / TILE_H; j++)
            for (int i = s.x0 / TILE_W; s.x0 <= s.x1 && i <= s.x1 / TILE_W; i++)
                g.start[(size_t)j * tx + i + 1]++;
    }
    for (size_t t = 0; t < ntiles; t++)
        g.start[t + 1] += g.start[t];
    g.prims.assign(g.start[ntiles], 0);
    for (int k = 0; k < norder; k++) {
        const span &s = spans[order[k]];
        for (int j = s.y0 / TILE_H; s.y0 <= s.y1 && j <= s.y1 / TILE_H; j++)
            for (int i = s.x0 / TILE_W; s.x0 <= s.x1 && i <= s.x1 / TILE_W; i++)
                g.prims[g.start[(size_t)j * tx + i]++] = (uint8_t)order[k];
    }
    for (size_t t = ntiles; t > 0; t--)
        g.start[t] = g.start[t - 1];
    g.start[0] = 0;
    g.tx = tx;
    g.ty = ty;
}
