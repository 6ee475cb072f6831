// display_port.h - what the window and the printer use of the display
// conversion: the zoomed dot grid and the geometry of copying it.
//
//   disp_show(w, h)    rebuild the grid from gdata at zoom_size and
//                      mode (show_image); nothing at all when w or h <= 0
//   disp_grid_*        the grid as it stands, with a number that changes
//                      at each rebuild so a window can cache its bitmap
//   disp_grid_rgb      the grid's colours, 3 bytes (r, g, b) per dot
//   zoomed_size(w, h)  the display size W x H for an image of w x h
//   disp_copy(...)     redraw's copy: the part of the grid to copy (never
//                      beyond the grid) and the size it covers on the
//                      target at the top-left; scale <= 1 copies unscaled
//
// display_port.cpp is the only file that knows where the conversion lives
// (image/display.h); mode and zoom_size are its settings.
#pragma once

extern int mode;      // the display mode: 0 8-colour, 1 256-colour, 2 full colour
extern int zoom_size; // percent, 50..400

void disp_show(int w, int h);
int disp_grid_w();
int disp_grid_h();
unsigned disp_grid_gen();
void disp_grid_rgb(unsigned char *dst, int stride);
void zoomed_size(int w, int h, int &W, int &H);
void disp_copy(int w, int h, int scale, int &sw, int &sh, int &dw, int &dh);
