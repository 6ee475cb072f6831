// rgb.h - pictures: three byte planes, and their .BMP files.
//
// A picture of w x h dots (at most WIDTH_MAX x HEIGHT_MAX) keeps dot (x, y)
// at index y*w + x of its red, green and blue planes (top row first, no
// padding). The window keeps its picture in one fixed set of planes of
// PLANE_BYTES each, whatever the size: a new size reinterprets the same
// bytes. A render hands its result over as a picture of its own size.
//
// KORU writes .BMP files as uncompressed 24-bit bitmaps: a 14-byte file
// header, a 40-byte information header, rows bottom-up as blue, green,
// red, each padded with zeros to a multiple of four bytes. It reads the
// common kinds other programs write as well (load_picture, picfile.h).
#pragma once

#include "../base/sizes.h"

#include <vector>

struct msglist;

constexpr int PLANE_BYTES = WIDTH_MAX * HEIGHT_MAX;

// The window's planes: red, green and blue, PLANE_BYTES each.
struct planes {
    unsigned char r[PLANE_BYTES], g[PLANE_BYTES], b[PLANE_BYTES];
};

// A picture of its own size: w*h bytes per plane.
struct picture {
    int w = 0, h = 0;
    std::vector<unsigned char> r, g, b;
    void resize(int width, int height);
};

// Copies pic into the first w*h bytes of each plane, and back: from_planes
// makes pic the w x h picture the planes begin with.
void to_planes(const picture &pic, planes &pl);
void from_planes(const planes &pl, int w, int h, picture &pic);

// Writes a w x h picture, given as three planes of w*h bytes (stride w, top
// row first), to path as a BMP file: a temporary file beside it is written
// in full, then renamed over path, so a failure leaves an existing file as
// it was. A size outside 0..WIDTH_MAX x 0..HEIGHT_MAX is refused. Returns
// 1 on success; on failure 0, with the reason in msgs.
int save_bmp(const char *path, int w, int h, const unsigned char *r, const unsigned char *g,
             const unsigned char *b, msglist &msgs);

// The file save_bmp writes, in pieces, for a w x h picture within
// 0..WIDTH_MAX x 0..HEIGHT_MAX: its BMP_HEADER-byte header, and row y (top
// row 0) on its own: bmp_line_bytes(w) bytes made by bmp_line from w
// samples of each channel, which go at offset bmp_line_at(w, h, y). Rows
// can be written in any order, as a render finishes them.
constexpr int BMP_HEADER = 54;
void bmp_header(unsigned char *file, int w, int h);
long bmp_line_bytes(int w);
long bmp_line_at(int w, int h, int y);
void bmp_line(unsigned char *line, int w, const unsigned char *r, const unsigned char *g,
              const unsigned char *b);

enum {
    RGB_LOADED = 0,  // planes and size hold the file's picture
    RGB_NOFILE = 1,  // could not open: nothing changed
    RGB_REFUSED = 2, // not a picture this reader takes: size 0 x 0
};
