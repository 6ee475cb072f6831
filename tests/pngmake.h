// pngmake.h - PNG files as other programs write them, through libpng, for
// the tests and the picture fuzzer's seeds.
//
//   encode(png_case{w, h, PNG_COLOR_TYPE_RGB, 8, rows})   the file's bytes;
//                                                         "" if libpng fails
#pragma once

#include <csetjmp>
#include <png.h>
#include <string>
#include <vector>

// A PNG file as another program writes one: w x h dots of the given colour
// type and bit depth, rows of raw samples (big-endian at 16 bits), with a
// palette and transparency where given.
struct png_case {
    int w, h, type, depth;
    std::vector<unsigned char> rows; // h rows, packed as the type and depth say
    bool interlace = false;
    std::vector<png_color> palette = {};
    std::vector<unsigned char> trns = {};
};

inline void png_append(png_structp png, png_bytep data, size_t n)
{
    auto *out = (std::string *)png_get_io_ptr(png);
    out->append((const char *)data, n);
}

inline std::string encode(const png_case &s)
{
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return ""; // libpng could not write it
    }
    png_set_write_fn(png, &out, png_append, nullptr);
    png_set_IHDR(png, info, s.w, s.h, s.depth, s.type,
                 s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty())
        png_set_PLTE(png, info, s.palette.data(), (int)s.palette.size());
    if (!s.trns.empty())
        png_set_tRNS(png, info, s.trns.data(), (int)s.trns.size(), nullptr);
    png_write_info(png, info);
    const size_t stride = s.rows.size() / s.h;
    std::vector<png_bytep> rows;
    for (int y = 0; y < s.h; y++)
        rows.push_back((png_bytep)s.rows.data() + y * stride);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}
