// Stand-in until the display conversion is in image/: full-colour dots
// at the zoom's sampling, whatever the mode.
#include "display_port.h"

#include "../image/rgb.h"

int mode = 0;
int zoom_size = 100;

namespace {
int gw, gh;
unsigned gen;
unsigned char grid[WIDTH_MAX * HEIGHT_MAX * 3];
} // namespace

void zoomed_size(int w, int h, int &W, int &H)
{
    long long ww = (long long)(zoom_size / 10) * w / 10;
    long long hh = (long long)(zoom_size / 10) * h / 10;
    W = (int)(ww > WIDTH_MAX ? WIDTH_MAX : ww);
    H = (int)(hh > HEIGHT_MAX ? HEIGHT_MAX : hh);
}

void disp_show(int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    int W, H;
    zoomed_size(w, h, W, H);
    const int s = 10000 / zoom_size;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            long long i = (long long)(y * s / 100) * w + x * s / 100;
            if (i >= PLANE_BYTES)
                i = PLANE_BYTES - 1;
            unsigned char *d = grid + ((long)y * W + x) * 3;
            d[0] = gdatar[i];
            d[1] = gdatag[i];
            d[2] = gdatab[i];
        }
    gw = W;
    gh = H;
    gen++;
}

int disp_grid_w() { return gw; }
int disp_grid_h() { return gh; }
unsigned disp_grid_gen() { return gen; }

void disp_grid_rgb(unsigned char *dst, int stride)
{
    for (int y = 0; y < gh; y++)
        for (int x = 0; x < gw * 3; x++)
            dst[(long)y * stride + x] = grid[((long)y * gw) * 3 + x];
}

void disp_copy(int w, int h, int scale, int &sw, int &sh, int &dw, int &dh)
{
    int W, H;
    zoomed_size(w, h, W, H);
    if (W < 0)
        W = 0;
    if (H < 0)
        H = 0;
    sw = W < gw ? W : gw;
    sh = H < gh ? H : gh;
    int k = scale > 1 ? scale : 1;
    dw = sw * k;
    dh = sh * k;
}
