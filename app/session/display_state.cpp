#include "app/session/display_state.h"

void disp_show(display_state &d, const planes &pl, int w, int h)
{
    if (show_dots(*d.grid, d.diff, pl, w, h, d.zoom_size, d.mode))
        d.gen++;
}

void disp_grid_rgb(const display_state &d, unsigned char *dst, int stride)
{
    const dotgrid &g = *d.grid;
    for (int y = 0; y < g.h; y++) {
        unsigned char *p = dst + (long)y * stride;
        for (int x = 0; x < g.w; x++) {
            unsigned c = dot_rgb(g, x, y);
            *p++ = (unsigned char)(c >> 16);
            *p++ = (unsigned char)(c >> 8);
            *p++ = (unsigned char)c;
        }
    }
}

void zoomed_size(const display_state &d, int w, int h, int &W, int &H)
{
    disp_size(w, h, d.zoom_size, W, H);
}

copyrect disp_copy(const display_state &d, int w, int h, int scale)
{
    return redraw_rect(*d.grid, w, h, d.zoom_size, scale);
}
