// display_state.h - what one window shows of its picture: the display mode
// and zoom, the colour reduction's state, and the zoomed dot grid they
// make (image/display.h), with the geometry of copying it.
//
//   disp_show(d, pl, w, h)  rebuild the grid from the w x h picture in pl
//                           at d.zoom_size and d.mode (show_image); nothing
//                           at all when w or h <= 0
//   disp_grid_rgb           the grid's colours, 3 bytes (r, g, b) per dot
//   zoomed_size(d, w, h)    the display size W x H for an image of w x h
//   disp_copy(d, w, h, s)   redraw's copy: the part of the grid to copy
//                           (never beyond the grid) and the size it covers
//                           on the target at the top-left; a scale s <= 1
//                           copies unscaled
//
// gen changes at each rebuild, so that a window can keep the grid as a
// bitmap of its own until it does. The window owns one display_state
// beside its app_state (session.h); the start values are mode 0 and zoom
// 100 %, an empty grid and the reduction's start-up state.
#pragma once

#include "image/display.h"

#include <memory>

struct display_state {
    int mode = 0;        // 0 8-colour diffusion, 1 256-colour diffusion, 2 full colour
    int zoom_size = 100; // percent, kept within 50..400 by CONFIG
    // The colour reduction's state, carried on from one rebuild to the next.
    diffusion diff{};
    std::unique_ptr<dotgrid> grid = std::make_unique<dotgrid>(); // 3 MB
    unsigned gen = 0;                                            // counts the rebuilds
};

void disp_show(display_state &d, const planes &pl, int w, int h);
void disp_grid_rgb(const display_state &d, unsigned char *dst, int stride);
void zoomed_size(const display_state &d, int w, int h, int &W, int &H);
copyrect disp_copy(const display_state &d, int w, int h, int scale);
