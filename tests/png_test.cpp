// PNG files: what save_png writes and what load_picture takes from other
// programs, through load_picture too.
#include "image/picfile.h"
#include "image/png.h"
#include "image/rgb.h"
#include "pngmake.h"
#include "testscene.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Png : scene_fixture {
    // The first dot of a loaded picture, as 0xRRGGBB, dot i.
    unsigned dot(int i) { return (unsigned)pl.r[i] << 16 | pl.g[i] << 8 | pl.b[i]; }

    // Loads bytes as a picture file through load_picture, whatever its name.
    int load_bytes(const std::string &bytes, const char *name = "in.png")
    {
        const std::string path = scratch(name);
        spit(path, bytes);
        warn.clear();
        int w = -1, h = -1;
        int rc = load_picture(path.c_str(), pl, w, h, warn);
        sc.ixmx = w, sc.iymx = h;
        return rc;
    }

    // A picture of w x h with a mix of every value in each plane.
    void mixed_picture(int w, int h)
    {
        sc.ixmx = w, sc.iymx = h;
        for (int i = 0; i < w * h; i++)
            pl.r[i] = (unsigned char)(i * 7), pl.g[i] = (unsigned char)(i * 13 + 5),
            pl.b[i] = (unsigned char)(i / 3);
    }
};

} // namespace

// A PNG holds the same dots as the BMP; the name alone picks the kind.
TEST_F(Png, HoldsTheSameDotsAsTheBmp)
{
    for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {1024, 2}, {3, 768}}) {
        mixed_picture(w, h);
        const std::vector<unsigned char> want = picture();
        const std::string png = scratch("pic.PnG"), bmp = scratch("pic.bmp");
        warn.clear();
        ASSERT_EQ(save_picture(png.c_str(), pl, w, h, warn), 1) << warn.first();
        ASSERT_EQ(save_picture(bmp.c_str(), pl, w, h, warn), 1);
        EXPECT_TRUE(png_signature((const unsigned char *)slurp(png).data(), slurp(png).size()));
        EXPECT_EQ(slurp(bmp).substr(0, 2), "BM");
        for (const std::string &f : {png, bmp}) {
            std::memset(pl.r, 0, PLANE_BYTES);
            EXPECT_EQ(load_bytes(slurp(f), "any.name"), RGB_LOADED) << warn.first();
            EXPECT_EQ(sc.ixmx, w);
            EXPECT_EQ(sc.iymx, h);
            EXPECT_TRUE(picture() == want) << f << " " << w << " x " << h;
            EXPECT_EQ(warnings(), 0);
        }
    }
    EXPECT_TRUE(png_name("a.png") && png_name("A.PNG") && png_name("/x/.png"));
    EXPECT_FALSE(png_name("png") || png_name("a.bmp") || png_name("a.png.bmp") ||
                 png_name("a_png"));
}

// Palette, grey, 16 bits and alpha become 8-bit RGB, alpha over white.
TEST_F(Png, WhatOtherProgramsWrite)
{
    struct row {
        const char *what;
        png_case pic;
        std::vector<unsigned> want; // 0xRRGGBB, dot by dot
    } rows[] = {
        {"grey 8", {2, 1, PNG_COLOR_TYPE_GRAY, 8, {77, 200}}, {0x4d4d4d, 0xc8c8c8}},
        {"grey 1", {3, 1, PNG_COLOR_TYPE_GRAY, 1, {0xa0}}, {0xffffff, 0, 0xffffff}},
        {"grey 16", {1, 1, PNG_COLOR_TYPE_GRAY, 16, {0x12, 0x34}}, {0x121212}},
        {"grey and alpha", {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0, 0}}, {0xffffff}},
        {"rgb 16",
         {1, 1, PNG_COLOR_TYPE_RGB, 16, {0xff, 0xff, 0x80, 0x80, 0x00, 0x7f}},
         {0xff8000}},
        {"rgba 8",
         {3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {255, 0, 100, 128, 10, 20, 30, 255, 10, 20, 30, 0}},
         {0xff7fb1, 0x0a141e, 0xffffff}},
        {"rgba 16",
         {1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0xff, 0xff, 0, 0, 0x80, 0, 0x80, 0}},
         {0xff7fbf}},
        {"palette 4 with transparency",
         {3,
          1,
          PNG_COLOR_TYPE_PALETTE,
          4,
          {0x01, 0x20},
          false,
          {{10, 20, 30}, {200, 100, 50}, {1, 2, 3}},
          {0}},
         {0xffffff, 0xc86432, 0x010203}},
    };
    for (const row &r : rows) {
        ASSERT_EQ(load_bytes(encode(r.pic)), RGB_LOADED) << r.what << ": " << warn.first();
        EXPECT_EQ(sc.ixmx, r.pic.w) << r.what;
        for (size_t i = 0; i < r.want.size(); i++)
            EXPECT_EQ(dot((int)i), r.want[i]) << r.what << ", dot " << i;
        EXPECT_EQ(warnings(), 0) << r.what << ": " << warn.first();
    }

    // an interlaced file gives the dots of a plain one
    png_case plain{13, 9, PNG_COLOR_TYPE_RGB, 8, {}};
    for (int i = 0; i < 13 * 9 * 3; i++)
        plain.rows.push_back((unsigned char)(i * 31));
    png_case laced = plain;
    laced.interlace = true;
    ASSERT_EQ(load_bytes(encode(plain)), RGB_LOADED);
    const std::vector<unsigned char> a = picture();
    ASSERT_EQ(load_bytes(encode(laced)), RGB_LOADED);
    EXPECT_TRUE(picture() == a);
    EXPECT_EQ(pl.g[1], (unsigned char)(4 * 31));
}

// What is no picture, too large or damaged before its dots is refused at
// 0 x 0; a file cut inside its dots loads, the rest white, and says so.
TEST_F(Png, RefusedDamagedAndTooLarge)
{
    png_case big{1025, 1, PNG_COLOR_TYPE_GRAY, 8, std::vector<unsigned char>(1025, 9)};
    png_case tall{1, 769, PNG_COLOR_TYPE_GRAY, 8, std::vector<unsigned char>(769, 9)};
    mixed_picture(40, 30);
    const std::string path = scratch("whole.png");
    ASSERT_EQ(save_png(path.c_str(), 40, 30, pl.r, pl.g, pl.b, warn), 1);
    const std::string whole = slurp(path);
    std::string bad_ihdr = whole;
    bad_ihdr[20] ^= 1; // the width, under its CRC

    struct row {
        std::string bytes;
        const char *says;
    } refused[] = {
        {"", "neither a BMP"},
        {"GIF89a....", "neither a BMP"},
        {whole.substr(0, 8), "not a PNG file KORU can read"},
        {whole.substr(0, 30), "not a PNG file KORU can read"},
        {bad_ihdr, "CRC"},
        {encode(big), "1025 x 1 dots is larger than 1024 x 768"},
        {encode(tall), "1 x 769 dots is larger than 1024 x 768"},
    };
    for (const row &r : refused) {
        EXPECT_EQ(load_bytes(r.bytes), RGB_REFUSED) << r.says;
        EXPECT_EQ(sc.ixmx, 0);
        EXPECT_EQ(sc.iymx, 0);
        EXPECT_EQ(warnings(), 1);
        EXPECT_TRUE(has_warning(r.says)) << warn.first();
        EXPECT_TRUE(has_warning("is refused")) << warn.first();
    }

    // cut inside the compressed dots: the size holds, the rows not reached are white
    std::memset(pl.r, 0, PLANE_BYTES);
    EXPECT_EQ(load_bytes(whole.substr(0, whole.size() / 2)), RGB_LOADED);
    EXPECT_EQ(sc.ixmx, 40);
    EXPECT_EQ(sc.iymx, 30);
    EXPECT_TRUE(has_warning("damaged inside its pixels")) << warn.first();
    EXPECT_EQ(pl.r[40 * 30 - 1], 255);
    EXPECT_EQ(pl.b[40 * 30 - 1], 255);

    // a PNG holds at least one dot and at most 1024 x 768
    for (auto [w, h] : {std::pair{0, 0}, {0, 5}, {1025, 1}, {1, 769}}) {
        warn.clear();
        EXPECT_EQ(save_png(scratch("no.png").c_str(), w, h, pl.r, pl.g, pl.b, warn), 0);
        EXPECT_TRUE(has_warning("is outside 1..1024 x 1..768")) << warn.first();
    }
    EXPECT_TRUE(slurp(scratch("no.png")).empty());
}
