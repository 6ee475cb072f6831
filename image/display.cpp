#include "display.h"

#include "reduce.h"

#include <climits>

namespace {

int zoom_kept(int zoom) { return zoom < ZOOM_MIN ? ZOOM_MIN : zoom > ZOOM_MAX ? ZOOM_MAX : zoom; }

int scaled(int n, int zoom, int most)
{
    if (n <= 0)
        return 0;
    const long long v = (long long)(zoom / 10) * n / 10;
    return v > most ? most : (int)v;
}

int mode_kept(int m) { return m == 1 || m == 2 ? m : 0; }

} // namespace

void disp_size(int w, int h, int zoom, int &W, int &H)
{
    zoom = zoom_kept(zoom);
    W = scaled(w, zoom, WIDTH_MAX);
    H = scaled(h, zoom, HEIGHT_MAX);
}

int show_dots(dotgrid &g, diffusion &d, const planes &pl, int w, int h, int zoom, int mode)
{
    if (w <= 0 || h <= 0)
        return 0;
    zoom = zoom_kept(zoom);
    const int s = 10000 / zoom;
    int W, H;
    disp_size(w, h, zoom, W, H);
    g.w = W;
    g.h = H;
    g.mode = mode_kept(mode);

    // Walk the display dots: two phase counters in hundredths of a dot,
    // the column phase running on from row to row.
    int ax = 0, ay = 0;
    long long row = 0;
    unsigned *out = g.dot;
    for (int y = 0; y < H; y++) {
        long long col = 0;
        const long long base = row * w;
        for (int x = 0; x < W; x++) {
            // The source dot; a column of w is the next byte of the planes.
            const long long i = base + col;
            int r = 0, gr = 0, b = 0;
            if (i < PLANE_BYTES) {
                r = pl.r[i];
                gr = pl.g[i];
                b = pl.b[i];
            }
            if (g.mode == 1)
                *out++ = (unsigned)gk256(d, x, r, gr, b);
            else if (g.mode == 2)
                *out++ = (unsigned)r << 16 | (unsigned)gr << 8 | (unsigned)b;
            else
                *out++ = (unsigned)gk8(d, x, r, gr, b);

            ax += s;
            if (ax >= 100) {
                col++;
                ax -= 100;
                if (ax >= 100) {
                    col++;
                    ax -= 100;
                }
            }
        }
        ay += s;
        if (ay >= 200) {
            row += 2;
            ay -= 200;
        } else if (ay >= 100) {
            row++;
            ay -= 100;
        }
    }
    return 1;
}

unsigned dot_rgb(const dotgrid &g, int x, int y)
{
    if (x < 0 || y < 0 || x >= g.w || y >= g.h)
        return 0;
    const unsigned v = g.dot[(long)y * g.w + x];
    if (g.mode == 1)
        return cube_rgb((int)v);
    if (g.mode == 2)
        return v & 0xffffff;
    return code_rgb((int)v);
}

copyrect redraw_rect(const dotgrid &g, int w, int h, int zoom, int scale)
{
    int W, H;
    disp_size(w, h, zoom, W, H);
    copyrect c;
    c.sw = W < g.w ? W : g.w > 0 ? g.w : 0;
    c.sh = H < g.h ? H : g.h > 0 ? g.h : 0;
    if (scale <= 1)
        scale = 1;
    const long long dw = (long long)c.sw * scale, dh = (long long)c.sh * scale;
    c.dw = dw > INT_MAX ? INT_MAX : (int)dw;
    c.dh = dh > INT_MAX ? INT_MAX : (int)dh;
    return c;
}
