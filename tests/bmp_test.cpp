// The RGB planes and their .BMP files.
#include "image/rgb.h"
#include "image/safewrite.h"
#include "testscene.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

void put16(std::string &s, size_t at, int v)
{
    s[at] = (char)(v & 255);
    s[at + 1] = (char)((v >> 8) & 255);
}

void put32(std::string &s, size_t at, long v)
{
    unsigned long u = (unsigned long)v;
    for (int i = 0; i < 4; i++)
        s[at + i] = (char)((u >> (8 * i)) & 255);
}

long get32(const std::string &s, size_t at)
{
    unsigned long u = 0;
    for (int i = 3; i >= 0; i--)
        u = (u << 8) | (unsigned char)s[at + i];
    return (long)(int)(unsigned)u;
}

// The sample a test picture holds at plane p (0 r, 1 g, 2 b), dot (x, y).
unsigned char sample(int p, int x, int y) { return (unsigned char)(x * 7 + y * 13 + p * 101 + 5); }

// A BMP file as another program might write it: info header of `info`
// bytes, pixel data at `offset`, rows bottom-up unless height < 0.
std::string bmp(int w, int h, int bits = 24, int comp = 0, int info = 40, int offset = 0)
{
    if (!offset)
        offset = 14 + info;
    const int aw = w < 0 ? -w : w, ah = h < 0 ? -h : h;
    const int row = (3 * aw + 3) / 4 * 4;
    std::string s(offset, '\x5a');
    s[0] = 'B', s[1] = 'M';
    put32(s, 2, offset + (long)row * ah);
    put32(s, 6, 0);
    put32(s, 10, offset);
    put32(s, 14, info);
    put32(s, 18, w);
    put32(s, 22, h);
    put16(s, 26, 1);
    put16(s, 28, bits);
    put32(s, 30, comp);
    put32(s, 34, (long)row * ah);
    for (int k = 0; k < ah; k++) {
        const int y = h < 0 ? k : ah - 1 - k;
        std::string r;
        for (int x = 0; x < aw; x++) {
            r += (char)sample(2, x, y);
            r += (char)sample(1, x, y);
            r += (char)sample(0, x, y);
        }
        r.resize(row, '\0');
        s += r;
    }
    return s;
}

void fill_test_picture(int w, int h)
{
    ixmx = w;
    iymx = h;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            gdatar[y * w + x] = sample(0, x, y);
            gdatag[y * w + x] = sample(1, x, y);
            gdatab[y * w + x] = sample(2, x, y);
        }
}

// Dots that differ from the test picture at size w x h.
int wrong_dots(int w, int h)
{
    int n = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            n += gdatar[y * w + x] != sample(0, x, y) || gdatag[y * w + x] != sample(1, x, y) ||
                 gdatab[y * w + x] != sample(2, x, y);
    return n;
}

std::string with_offset(std::string s, long offset)
{
    put32(s, 10, offset);
    return s;
}

int load(const std::string &bytes)
{
    std::string path = scratch("in.bmp");
    spit(path, bytes);
    twarn.clear();
    return load_rgb(path.c_str());
}

} // namespace

TEST(SaveRgb, HeaderRowsAndPadding)
{
    const std::string path = scratch("out.bmp");
    const int rowbytes[] = {0, 4, 8, 12, 12, 16};
    for (int w = 1; w <= 5; w++) {
        fill_test_picture(w, 1);
        ASSERT_EQ(save_rgb(path.c_str()), 1);
        EXPECT_EQ(slurp(path).size(), 54u + rowbytes[w]) << w;
    }

    fill_test_picture(3, 2);
    ASSERT_EQ(save_rgb(path.c_str()), 1);
    const std::string f = slurp(path);
    ASSERT_EQ(f.size(), 78u);
    // clang-format off
    const unsigned char head[54] = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,   // file header
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, // size, width, height, planes, bits
        0, 0, 0, 0, 24, 0, 0, 0, 128, 0, 0, 0, 128, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0,
    };
    // clang-format on
    EXPECT_EQ(std::memcmp(f.data(), head, 54), 0);
    // the bottom row first, blue green red, then the pad
    for (int x = 0; x < 3; x++) {
        EXPECT_EQ((unsigned char)f[54 + 3 * x], sample(2, x, 1));
        EXPECT_EQ((unsigned char)f[54 + 3 * x + 1], sample(1, x, 1));
        EXPECT_EQ((unsigned char)f[54 + 3 * x + 2], sample(0, x, 1));
        EXPECT_EQ((unsigned char)f[66 + 3 * x], sample(2, x, 0));
    }
    EXPECT_EQ(f[63], 0);
    EXPECT_EQ(f[64], 0);
    EXPECT_EQ(f[65], 0);
    EXPECT_EQ(f[77], 0);
    EXPECT_EQ(f, bmp(3, 2)
                     .replace(38, 8, std::string("\x80\0\0\0\x80\0\0\0", 8))
                     .replace(46, 8, std::string(8, '\0')));
}

TEST(SaveRgb, RoundTripForEveryWidth)
{
    const std::string path = scratch("rt.bmp");
    for (int w = 1; w <= WIDTH_MAX; w++) {
        const int h = 1 + w % 3;
        fill_test_picture(w, h);
        ASSERT_EQ(save_rgb(path.c_str()), 1) << w;
        std::memset(gdatar, 0, (size_t)w * h);
        ixmx = iymx = 0;
        ASSERT_EQ(load_rgb(path.c_str()), RGB_LOADED) << w;
        ASSERT_EQ(ixmx, w);
        ASSERT_EQ(iymx, h);
        ASSERT_EQ(wrong_dots(w, h), 0) << "width " << w;
        ASSERT_EQ(get32(slurp(path), 2), 54 + (3L * w + w % 4) * h);
    }
    fill_test_picture(WIDTH_MAX, HEIGHT_MAX);
    ASSERT_EQ(save_rgb(path.c_str()), 1);
    ixmx = iymx = 0;
    ASSERT_EQ(load_rgb(path.c_str()), RGB_LOADED);
    EXPECT_EQ(ixmx, WIDTH_MAX);
    EXPECT_EQ(iymx, HEIGHT_MAX);
    EXPECT_EQ(wrong_dots(WIDTH_MAX, HEIGHT_MAX), 0);
}

TEST(SaveRgb, SizesAndFailures)
{
    const std::string path = scratch("size.bmp");
    ixmx = iymx = 0; // before any picture: a header alone
    ASSERT_EQ(save_rgb(path.c_str()), 1);
    EXPECT_EQ(slurp(path).size(), 54u);

    twarn.clear();
    ixmx = -4, iymx = 3;
    EXPECT_EQ(save_rgb(scratch("neg.bmp").c_str()), 0);
    EXPECT_TRUE(has_warning("size"));
    EXPECT_TRUE(slurp(scratch("neg.bmp")).empty());

    twarn.clear();
    fill_test_picture(4, 4);
    EXPECT_EQ(save_rgb(scratch("no/such/dir/x.bmp").c_str()), 0);
    EXPECT_EQ(warnings(), 1);

    // a write that fails half way leaves the old file as it was
    fill_test_picture(2, 2);
    ASSERT_EQ(save_rgb(path.c_str()), 1);
    const std::string before = slurp(path);
    fill_test_picture(40, 40);
    safewrite_fail_after = 100;
    twarn.clear();
    EXPECT_EQ(save_rgb(path.c_str()), 0);
    safewrite_fail_after = -1;
    EXPECT_EQ(warnings(), 1);
    EXPECT_EQ(slurp(path), before);
}

TEST(LoadRgb, WhatOtherProgramsWrite)
{
    // pixel data further on than 54, as the data offset says
    fill_test_picture(1, 1);
    ASSERT_EQ(load(bmp(5, 3, 24, 0, 40, 80)), RGB_LOADED);
    EXPECT_EQ(ixmx, 5);
    EXPECT_EQ(iymx, 3);
    EXPECT_EQ(wrong_dots(5, 3), 0);

    // a larger information header
    fill_test_picture(1, 1);
    ASSERT_EQ(load(bmp(6, 2, 24, 0, 124)), RGB_LOADED);
    EXPECT_EQ(wrong_dots(6, 2), 0);

    // top-down rows: a negative height
    fill_test_picture(1, 1);
    ASSERT_EQ(load(bmp(7, -4)), RGB_LOADED);
    EXPECT_EQ(ixmx, 7);
    EXPECT_EQ(iymx, 4);
    EXPECT_EQ(wrong_dots(7, 4), 0);

    // the largest picture there is
    ASSERT_EQ(load(bmp(1024, 768)), RGB_LOADED);
    EXPECT_EQ(ixmx, 1024);
    EXPECT_EQ(iymx, 768);
    EXPECT_EQ(warnings(), 0);
}

TEST(LoadRgb, RefusedFilesGiveSizeZero)
{
    std::string not_b = bmp(2, 2), not_m = bmp(2, 2);
    not_b[0] = 'b';
    not_m[1] = 'N';
    struct {
        const char *why;
        std::string bytes;
    } cases[] = {
        {"first byte", not_b},
        {"second byte", not_m},
        {"too wide", bmp(1025, 1)},
        {"too high", bmp(1, 769)},
        {"width 0", bmp(0, 5)},
        {"height 0", bmp(5, 0)},
        {"negative width", bmp(-5, 5)},
        {"8-bit palette", bmp(4, 4, 8, 0, 40, 54 + 1024)},
        {"16 bits", bmp(4, 4, 16)},
        {"32 bits", bmp(4, 4, 32)},
        {"compressed", bmp(4, 4, 24, 1)},
        {"bit fields", bmp(4, 4, 24, 3)},
        {"ends in the header", bmp(4, 4).substr(0, 30)},
        {"ends before the height", bmp(4, 4).substr(0, 20)},
        {"one byte", "B"},
        {"empty", ""},
        {"offset inside the header", with_offset(bmp(4, 4), 20)},
        {"negative offset", with_offset(bmp(4, 4), -100)},
    };
    for (auto &c : cases) {
        fill_test_picture(3, 3);
        EXPECT_EQ(load(c.bytes), RGB_REFUSED) << c.why;
        EXPECT_EQ(ixmx, 0) << c.why;
        EXPECT_EQ(iymx, 0) << c.why;
        EXPECT_EQ(wrong_dots(3, 3), 0) << c.why; // the planes keep their bytes
        EXPECT_EQ(warnings(), 1) << c.why;
    }
}

TEST(LoadRgb, TruncatedPixelsTurnWhite)
{
    std::string f = bmp(4, 3);
    f.resize(54 + 12 + 5); // the bottom row and five bytes of the next
    fill_test_picture(4, 3);
    std::memset(gdatar, 0, 12);
    ASSERT_EQ(load(f), RGB_LOADED);
    EXPECT_EQ(ixmx, 4);
    EXPECT_EQ(iymx, 3);
    for (int x = 0; x < 4; x++) {
        EXPECT_EQ(gdatar[2 * 4 + x], sample(0, x, 2)); // bottom row read whole
        EXPECT_EQ(gdatar[0 * 4 + x], 255);             // top row missing
    }
    EXPECT_EQ(gdatab[1 * 4 + 0], sample(2, 0, 1));
    EXPECT_EQ(gdatag[1 * 4 + 0], sample(1, 0, 1));
    EXPECT_EQ(gdatar[1 * 4 + 0], sample(0, 0, 1));
    EXPECT_EQ(gdatab[1 * 4 + 1], sample(2, 1, 1));
    EXPECT_EQ(gdatag[1 * 4 + 1], sample(1, 1, 1));
    EXPECT_EQ(gdatar[1 * 4 + 1], 255);
    EXPECT_EQ(gdatab[1 * 4 + 3], 255);
    EXPECT_EQ(warnings(), 1);

    // nothing after the header at all
    ASSERT_EQ(load(bmp(2, 2).substr(0, 54)), RGB_LOADED);
    EXPECT_EQ(ixmx, 2);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(gdatag[i], 255);
}

TEST(LoadRgb, AFileThatCannotBeOpenedChangesNothing)
{
    fill_test_picture(3, 2);
    twarn.clear();
    EXPECT_EQ(load_rgb(scratch("absent.bmp").c_str()), RGB_NOFILE);
    EXPECT_EQ(ixmx, 3);
    EXPECT_EQ(iymx, 2);
    EXPECT_EQ(load_rgb(scratch.dir.c_str()), RGB_NOFILE);
    EXPECT_EQ(ixmx, 3);
    EXPECT_EQ(wrong_dots(3, 2), 0);
}
