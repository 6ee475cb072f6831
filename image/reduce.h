// reduce.h - colour reduction by error diffusion: 8 colours or the
// 256-entry cube palette, one display dot at a time.
//
//   diffusion d;                    // start-up state: all zero
//   int c = gk8(d, x, r, g, b);     colour code 0..7 for the dot in column x
//   int i = gk256(d, x, r, g, b);   cube palette index 0..255
//
// r, g, b are the dot's samples 0..255; x is its display column, 0..1023.
// Call in display order: rows from the top, in each row columns 0, 1, 2 ...,
// every column once; a call with x = 0 starts a new row.
//
// Both functions carry their errors in a diffusion state (below): a quarter
// each down-left, down and down-right into the next row's buffers, and a
// quarter plus the remainder (sign of the error) to the right. The window
// keeps one state for as long as it lives and does not clear it between
// conversions, so a conversion's first row receives what the last one
// left, whichever function made it. Its known losses are kept: column 0 never receives
// error from the row above, and a row's last dot loses its right and
// down-right shares.
//
// gk8 sets a channel (v > 128) and carries v - 255, else carries v.
// gk256 picks level q = (5v + 25) / 256 per channel and carries the input
// sample minus 51q, not v minus it. Leftovers of a gk8 conversion can push
// q to -1 or 6 on the first row of a gk256 one: q is kept within 0..5
// (the error then measured from the kept level), so the index is 0..255.
//
// Colour codes: bit 0 blue, bit 1 red, bit 2 green, each channel 0 or 255.
// Cube palette entry i: red ((i/36)%6)*51, green ((i/6)%6)*51, blue
// (i%6)*51; entries 216..255 repeat 0..39.
#pragma once

#include "rgb.h"

// The diffusion state, per channel: next-row buffer (one entry per display
// column), right carry, and the previous dot's down-right share. A new
// state ({}) is the start-up state: everything zero.
struct diffusion {
    int ebufr[WIDTH_MAX], ebufg[WIDTH_MAX], ebufb[WIDTH_MAX];
    int ecarr, ecarg, ecarb;
    int ediar, ediag, ediab;
};

int gk8(diffusion &d, int x, int r, int g, int b);
int gk256(diffusion &d, int x, int r, int g, int b);

// Back to the start-up state.
void gk_reset(diffusion &d);

// Colours as 0xRRGGBB. code_rgb uses the low three bits of c; cube_rgb
// gives black for an index outside 0..255.
unsigned code_rgb(int c);
unsigned cube_rgb(int i);
