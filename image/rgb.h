// rgb.h - the picture: three byte planes, and its .BMP files.
//
// Dot (x, y) of the current ixmx x iymx picture is at index y*ixmx + x of
// gdatar, gdatag and gdatab (top row first, no padding). The planes hold
// PLANE_BYTES each, whatever the size, and live for the whole process; a
// new size reinterprets the same bytes.
//
// .BMP files are uncompressed 24-bit bitmaps: a 14-byte file header, a
// 40-byte information header, rows bottom-up as blue, green, red, each
// padded with zeros to a multiple of four bytes.
#pragma once

#include "../scene/scene.h"

constexpr int PLANE_BYTES = WIDTH_MAX * HEIGHT_MAX;

extern unsigned char gdatar[PLANE_BYTES];
extern unsigned char gdatag[PLANE_BYTES];
extern unsigned char gdatab[PLANE_BYTES];

// Writes the picture to path: a temporary file beside it is written in
// full, then renamed over path, so a failure leaves an existing file as it
// was. A size outside 0..WIDTH_MAX x 0..HEIGHT_MAX is refused. Returns 1
// on success; on failure 0, with the reason in warn.h.
int save_rgb(const char *path);

// The same for any w x h picture given as three planes of w*h bytes
// (stride w, top row first), such as the display's dots.
int save_bmp(const char *path, int w, int h, const unsigned char *r, const unsigned char *g,
             const unsigned char *b);

// The file save_bmp writes, in pieces, for a w x h picture within
// 0..WIDTH_MAX x 0..HEIGHT_MAX: its length, its 54-byte header, and row y
// (top row 0) put in its place from w samples of each channel. Rows can
// be filled in any order, as a render finishes them.
long bmp_bytes(int w, int h);
void bmp_header(unsigned char *file, int w, int h);
void bmp_row(unsigned char *file, int w, int h, int y, const unsigned char *r,
             const unsigned char *g, const unsigned char *b);

enum {
    RGB_LOADED = 0,    // planes and size hold the file's picture
    RGB_NOFILE = 1,    // could not open: nothing changed
    RGB_REFUSED = 2,   // not a picture this reader takes: size 0 x 0
};

// Reads path into the planes and sets ixmx, iymx. Takes uncompressed
// 24-bit files with any header of 40 bytes or more, the pixel data where
// the header's offset says, bottom-up or top-down rows. Anything else is
// refused (size 0 x 0, planes unchanged). A file that ends inside its
// pixels loads at the header's size with 255 in every missing sample.
// Reasons and damage are reported in warn.h.
int load_rgb(const char *path);
