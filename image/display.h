// display.h - the dots the window shows: the picture in the planes,
// sampled at the display zoom and reduced to the display mode.
//
//   auto grid = std::make_unique<dotgrid>();   // 3 MB: keep it out of the stack
//   diffusion d{};                             // the colour reduction's state
//   show_dots(*grid, d, pl, w, h, zoom, mode); // convert
//   unsigned rgb = dot_rgb(*grid, x, y);       // 0xRRGGBB of dot (x, y)
//   copyrect c = redraw_rect(*grid, ixmx, iymx, zoom, scale);
//
// Settings (the window's CONFIG dialog chooses them): mode 0 = 8-colour
// diffusion (gk8, reduce.h), 1 = 256-colour diffusion (gk256 and the cube
// palette), 2 = full colour; any other value shows as 0. The zoom is in
// percent; the dialog keeps it within ZOOM_MIN..ZOOM_MAX and the display
// takes any value outside as the nearer bound.
//
// Display size: for a w x h picture at zoom z, W = (z/10)*w/10 and
// H = (z/10)*h/10 (integer divisions, so the size moves in steps of 10 %:
// 155 % is as large as 150 %), then at most 1024 x 768.
//
// Sampling: the source step is s = 10000/z hundredths of a source dot per
// display dot. Display row y shows source row y*s/100. Within a row the
// column starts at 0 and moves on by s hundredths a dot, but the column
// phase (the hundredths) runs on from row to row: display column x of a
// row starting at phase p shows column (p + x*s)/100, and the next row
// starts at (p + W*s) % 100. At 50, 100, 200 and 400 % the phase is
// always 0; at other zooms a column may reach w, one past the row's end,
// and the dot then shows the next byte of the planes: the first dot of the
// next source row, or the byte just after the picture.
//
// Plane bound: the source dot (row, col) is plane index row*w + col. A
// size that does not fit the planes (the SETTING dialog can set any size
// before the next render brings it back) is still sampled as above, but
// every dot whose index is PLANE_BYTES or more reads as 0 in all three
// channels (black, and so diffused), so no read leaves the planes.
//
// One conversion calls gk8 or gk256 for every dot in display order, so it
// carries its diffusion state on to the next conversion (reduce.h).
#pragma once

#include "reduce.h"
#include "rgb.h"

constexpr int ZOOM_MIN = 50;
constexpr int ZOOM_MAX = 400;

constexpr int DOTS_MAX = WIDTH_MAX * HEIGHT_MAX;

// The display: W x H dots made in one mode, dot (x, y) at dot[y*w + x].
// Values by mode: 0 a colour code 0..7, 1 a cube palette index 0..255,
// 2 the source colour 0xRRGGBB.
struct dotgrid {
    int w, h;
    int mode; // 0, 1 or 2: the mode the dots were made in
    unsigned dot[DOTS_MAX];
};

// W x H for a w x h picture at zoom (percent); 0 for a size of 0 or less.
void disp_size(int w, int h, int zoom, int &W, int &H);

// Converts the planes pl, holding a w x h picture, into g at zoom and mode,
// diffusing through d. Returns 1; when w or h is 0 or less, returns 0 and
// leaves g and d as they were. A zoom that leaves W or H
// at 0 (one dot at 50 %) makes a grid without dots and diffuses nothing.
int show_dots(dotgrid &g, diffusion &d, const planes &pl, int w, int h, int zoom, int mode);

// The colour the window shows for dot (x, y): the code's colour, the
// palette entry or the source colour, by g.mode. Black outside the grid.
unsigned dot_rgb(const dotgrid &g, int x, int y);

// What redraw copies to a surface: the top-left sw x sh dots of the grid,
// drawn at (0, 0) of the surface as dw x dh. The window paints with scale
// 1, printing with the largest whole factor that fits the page.
struct copyrect {
    int sw, sh; // source size in dots
    int dw, dh; // size on the surface
};

// W x H is recomputed from w, h and zoom, as paints and prints see them
// now; where it is larger than the grid (the size or zoom
// changed since the conversion), only the grid is copied and the rest of
// the surface is left alone. scale 1 or less copies unscaled; a larger
// scale enlarges both sides by it (at most INT_MAX dots).
copyrect redraw_rect(const dotgrid &g, int w, int h, int zoom, int scale);
