// picfile.h - picture files of either kind KORU writes and reads: PNG and
// BMP.
//
//   save_picture("out.png", ...)    PNG when the name ends in ".png" (any
//                                   case), a 24-bit BMP otherwise
//   load_picture("in", pl, w, h, msgs)   BMP or PNG, told by the contents,
//                                        whatever the name
//
// Both follow save_bmp / load_rgb (rgb.h) and save_png / the PNG reading (png.h):
// the same return values, sizes and messages.
#pragma once

#include "rgb.h"

// A name that asks for a PNG file: it ends in ".png", in any case.
bool png_name(const char *path);

int save_picture(const char *path, int w, int h, const unsigned char *r, const unsigned char *g,
                 const unsigned char *b, msglist &msgs);
// The window's picture: the first w x h dots of the planes.
int save_picture(const char *path, const planes &pl, int w, int h, msglist &msgs);

int load_picture(const char *path, planes &pl, int &w, int &h, msglist &msgs);
