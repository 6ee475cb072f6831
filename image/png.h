// png.h - pictures as PNG files, through libpng.
//
// save_png writes a w x h picture (three planes of w*h bytes, stride w,
// top row first) as an 8-bit RGB PNG, through write_file_safely: the old
// file stays as it was on any failure. A PNG has at least one dot, so the
// size must lie within 1..WIDTH_MAX x 1..HEIGHT_MAX. The effort (effort.h)
// picks the rows' filters and zlib's compression:
//   EFFORT_FAST     the Up filter for every row, zlib level 1 with runs only
//   EFFORT_NORMAL   the filter libpng finds best for each row, runs only
//   EFFORT_SMALL    libpng's defaults: that filter, zlib level 6 (a picture
//                   saved by the window or koru-cli render)
// The dots read back the same at every effort.
//
// load_png_file (picio.h; load_picture in picfile.h for a path) reads any PNG that libpng reads
// into the planes as 8-bit RGB: palette and grey become RGB, 16-bit samples are rounded to 8 bits
// (v * 255 / 65535), and alpha is laid over white:
//   c = (c * a + M * (M - a) + M/2) / M, with M = 255 or 65535.
// Colour profiles and gamma are not applied: a dot's numbers are kept.
// As load_picture: RGB_LOADED; RGB_NOFILE when the file cannot be opened
// (nothing changes); RGB_REFUSED, size 0 x 0, for what is no PNG, is
// damaged before its pixels or is larger than WIDTH_MAX x HEIGHT_MAX. A
// file that ends or is damaged inside its pixels loads at its size, with
// the dots not reached white, and says so in msgs.
#pragma once

#include "effort.h"
#include "rgb.h"

#include <cstddef>

int save_png(const char *path, int w, int h, const unsigned char *r, const unsigned char *g,
             const unsigned char *b, msglist &msgs, int effort = EFFORT_SMALL);

// Whether the n bytes at head begin with the PNG signature.
bool png_signature(const unsigned char *head, size_t n);
