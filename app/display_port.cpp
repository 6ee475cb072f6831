// The window's side of the display conversion (image/display.h): one dot
// grid, rebuilt by each show_image.
#include "display_port.h"

#include "../image/display.h"
#include "appstate.h"

int mode = 0;
int zoom_size = 100;

namespace {
dotgrid grid;   // 3 MB, one for the process
diffusion diff; // the colour reduction's state, carried from one show to the next
unsigned gen;
} // namespace

void zoomed_size(int w, int h, int &W, int &H) { disp_size(w, h, zoom_size, W, H); }

void disp_show(int w, int h)
{
    if (show_dots(grid, diff, gdata, w, h, zoom_size, mode))
        gen++;
}

int disp_grid_w() { return grid.w; }
int disp_grid_h() { return grid.h; }
unsigned disp_grid_gen() { return gen; }

void disp_grid_rgb(unsigned char *dst, int stride)
{
    for (int y = 0; y < grid.h; y++) {
        unsigned char *d = dst + (long)y * stride;
        for (int x = 0; x < grid.w; x++) {
            unsigned c = dot_rgb(grid, x, y);
            *d++ = (unsigned char)(c >> 16);
            *d++ = (unsigned char)(c >> 8);
            *d++ = (unsigned char)c;
        }
    }
}

void disp_copy(int w, int h, int scale, int &sw, int &sh, int &dw, int &dh)
{
    copyrect c = redraw_rect(grid, w, h, zoom_size, scale);
    sw = c.sw;
    sh = c.sh;
    dw = c.dw;
    dh = c.dh;
}
