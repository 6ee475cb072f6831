// picio.h - inside the image layer: the picture readers on an open file.
#pragma once

#include "rgb.h"

#include <cstdint>
#include <cstdio>

// The BMP reader (bmpread.h) and png.h's reading on f, which begins with
// "BM" or the PNG signature: f open at its start; path names it in msgs.
// The caller closes f. Both return as load_picture (picfile.h).
int load_bmp_file(std::FILE *f, const char *path, planes &pl, int &w, int &h, msglist &msgs);
int load_png_file(std::FILE *f, const char *path, planes &pl, int &w, int &h, msglist &msgs);

// A sample v of 0..max with alpha a of 0..max, laid over white and
// rounded: (v * a + max * (max - a) + max / 2) / max.
inline uint64_t over_white(uint64_t v, uint64_t a, uint64_t max)
{
    return (v * a + max * (max - a) + max / 2) / max;
}

// The line of a refused picture: "\"PATH\" is refused: WHY".
int refuse_picture(msglist &msgs, const char *path, const char *why);
