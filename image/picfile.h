// picfile.h - picture files of either kind KORU writes and reads: PNG and
// BMP.
//
//   save_picture("out.png", ...)    PNG when the name ends in ".png" (any
//                                   case), a 24-bit BMP otherwise
//   load_picture("in", pl, w, h, msgs)   BMP or PNG, told by the contents,
//                                        whatever the name
//
// Saving follows save_bmp (rgb.h) and save_png (png.h). Loading reads the
// file into the first w*h bytes of the planes as 8-bit RGB, top row first,
// and sets w, h to its size (at most WIDTH_MAX x HEIGHT_MAX):
//   RGB_LOADED    the picture is in the planes
//   RGB_NOFILE    the file cannot be opened: nothing changed
//   RGB_REFUSED   not a picture KORU reads: w, h = 0, the planes unchanged
// with the reason, one line naming path, in msgs. A file of more than
// PICTURE_FILE_MAX bytes (sizes.h) is refused unread. PNG: see png.h.
//
// BMP: 1, 2, 4 and 8 bits per dot through a palette (as stored, or RLE8 /
// RLE4 coded: dots the coding skips take the palette's first colour; the
// entries a short palette leaves out are black); 16 and 32 bits per dot,
// 5-5-5 and 8-8-8 (with alpha in the top byte) or as bit-field masks say,
// each channel scaled to 0..255 as round(v * 255 / max); 24 bits. Rows
// bottom-up or top-down. Headers of every version: OS/2 1.x (12 bytes),
// OS/2 2.x (16, 64), Windows 3 (40), V2 (52), V3 (56), V4 (108), V5 (124);
// a colour profile is not applied. Alpha is laid over white as the PNG
// reader lays it, except that alpha 0 throughout counts as opaque.
// Refused: a file cut short (the header's sizes beyond the file's end, rows
// or a compressed stream that end early), a size of 0 or less or beyond
// WIDTH_MAX x HEIGHT_MAX, planes other than 1, other bit counts and
// compression methods (JPEG or PNG inside, OS/2's Huffman and RLE24), an
// unknown header size, a palette index beyond the palette, masks that are
// empty, broken or overlap, a run-length stream that runs past a row or
// the top, and resolutions that differ over a thousandfold.
#pragma once

#include "rgb.h"

// Whether name ends in end (given in lower case), in any case.
bool name_ends(const char *name, const char *end);
// A name that asks for a PNG file: it ends in ".png", in any case.
bool png_name(const char *path);

int save_picture(const char *path, int w, int h, const unsigned char *r, const unsigned char *g,
                 const unsigned char *b, msglist &msgs);
// The window's picture: the first w x h dots of the planes.
int save_picture(const char *path, const planes &pl, int w, int h, msglist &msgs);

int load_picture(const char *path, planes &pl, int &w, int &h, msglist &msgs);
