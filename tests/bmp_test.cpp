// The RGB planes and their .BMP files: what KORU writes, and what it
// reads of every kind other programs write.
#include "bmpgen.h"
#include "image/picfile.h"
#include "image/rgb.h"
#include "testscene.h"
#include "write_limit.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

long get32(const std::string &s, size_t at)
{
    unsigned long u = 0;
    for (int i = 3; i >= 0; i--)
        u = (u << 8) | (unsigned char)s[at + i];
    return (long)(int)(unsigned)u;
}

// The sample a test picture holds at plane p (0 r, 1 g, 2 b), dot (x, y).
unsigned char sample(int p, int x, int y) { return (unsigned char)(x * 7 + y * 13 + p * 101 + 5); }

// A 24-bit BMP file of the test picture as another program might write
// it: pixel data at `offset`, rows bottom-up.
std::string bmp(int w, int h, int offset = 54)
{
    using bmpgen::patch16, bmpgen::patch32;
    const int row = (3 * w + 3) / 4 * 4;
    std::string s(offset, '\x5a');
    s[0] = 'B', s[1] = 'M';
    patch32(s, 2, offset + row * h);
    patch32(s, 6, 0);
    patch32(s, 10, offset);
    patch32(s, 14, 40);
    patch32(s, 18, w);
    patch32(s, 22, h);
    patch16(s, 26, 1);
    patch16(s, 28, 24);
    patch32(s, 30, 0);
    patch32(s, 34, row * h);
    for (int y = h - 1; y >= 0; y--) {
        std::string r;
        for (int x = 0; x < w; x++) {
            r += (char)sample(2, x, y);
            r += (char)sample(1, x, y);
            r += (char)sample(0, x, y);
        }
        r.resize(row, '\0');
        s += r;
    }
    return s;
}

std::string with_offset(std::string s, long offset)
{
    bmpgen::patch32(s, 10, (uint32_t)offset);
    return s;
}

// The test picture in the fixture's planes, its size in sc, as the window
// keeps them.
struct BmpFiles : scene_fixture {
    void fill_test_picture(int w, int h)
    {
        sc.ixmx = w;
        sc.iymx = h;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                pl.r[y * w + x] = sample(0, x, y);
                pl.g[y * w + x] = sample(1, x, y);
                pl.b[y * w + x] = sample(2, x, y);
            }
    }

    // Dots that differ from the test picture at size w x h.
    int wrong_dots(int w, int h)
    {
        int n = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                n += pl.r[y * w + x] != sample(0, x, y) || pl.g[y * w + x] != sample(1, x, y) ||
                     pl.b[y * w + x] != sample(2, x, y);
        return n;
    }

    int load(const std::string &bytes)
    {
        std::string path = scratch("in.bmp");
        spit(path, bytes);
        warn.clear();
        return load_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn);
    }

    // Dots that differ from what the generator says the file holds.
    int wrong_dots(const bmpgen::bmp_made &m)
    {
        int n = 0;
        for (size_t i = 0; i < m.rgb.size(); i++)
            n += (uint32_t)(pl.r[i] << 16 | pl.g[i] << 8 | pl.b[i]) != m.rgb[i];
        return n;
    }
};

using SaveBmp = BmpFiles;
using LoadBmp = BmpFiles;

} // namespace

TEST_F(SaveBmp, HeaderRowsAndPadding)
{
    const std::string path = scratch("out.bmp");
    const int rowbytes[] = {0, 4, 8, 12, 12, 16};
    for (int w = 1; w <= 5; w++) {
        fill_test_picture(w, 1);
        ASSERT_EQ(save_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn), 1);
        EXPECT_EQ(slurp(path).size(), 54u + rowbytes[w]) << w;
    }

    fill_test_picture(3, 2);
    ASSERT_EQ(save_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn), 1);
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

TEST_F(SaveBmp, RoundTripForEveryWidth)
{
    const std::string path = scratch("rt.bmp");
    for (int w = 1; w <= WIDTH_MAX; w++) {
        const int h = 1 + w % 3;
        fill_test_picture(w, h);
        ASSERT_EQ(save_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn), 1) << w;
        std::memset(pl.r, 0, (size_t)w * h);
        sc.ixmx = sc.iymx = 0;
        ASSERT_EQ(load_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn), RGB_LOADED) << w;
        ASSERT_EQ(sc.ixmx, w);
        ASSERT_EQ(sc.iymx, h);
        ASSERT_EQ(wrong_dots(w, h), 0) << "width " << w;
        ASSERT_EQ(get32(slurp(path), 2), 54 + (3L * w + w % 4) * h);
    }
    fill_test_picture(WIDTH_MAX, HEIGHT_MAX);
    ASSERT_EQ(save_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn), 1);
    sc.ixmx = sc.iymx = 0;
    ASSERT_EQ(load_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn), RGB_LOADED);
    EXPECT_EQ(sc.ixmx, WIDTH_MAX);
    EXPECT_EQ(sc.iymx, HEIGHT_MAX);
    EXPECT_EQ(wrong_dots(WIDTH_MAX, HEIGHT_MAX), 0);
}

TEST_F(SaveBmp, SizesAndFailures)
{
    const std::string path = scratch("size.bmp");
    sc.ixmx = sc.iymx = 0; // before any picture: a header alone
    ASSERT_EQ(save_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn), 1);
    EXPECT_EQ(slurp(path).size(), 54u);

    warn.clear();
    sc.ixmx = -4, sc.iymx = 3;
    EXPECT_EQ(save_picture(scratch("neg.bmp").c_str(), pl, sc.ixmx, sc.iymx, warn), 0);
    EXPECT_TRUE(has_warning("size"));
    EXPECT_TRUE(slurp(scratch("neg.bmp")).empty());

    warn.clear();
    fill_test_picture(4, 4);
    EXPECT_EQ(save_picture(scratch("no/such/dir/x.bmp").c_str(), pl, sc.ixmx, sc.iymx, warn), 0);
    EXPECT_EQ(warnings(), 1);

    // a write that fails half way leaves the old file as it was
    fill_test_picture(2, 2);
    ASSERT_EQ(save_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn), 1);
    const std::string before = slurp(path);
    fill_test_picture(40, 40);
    warn.clear();
    int saved;
    {
        write_limit full(100);
        saved = save_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn);
    }
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(warnings(), 1);
    EXPECT_EQ(slurp(path), before);
}

TEST_F(LoadBmp, EveryKindOtherProgramsWrite)
{
    for (const bmpgen::bmp_kind &k : bmpgen::bmp_kinds()) {
        const bmpgen::bmp_made m = bmpgen::make_bmp(k);
        std::memset(pl.g, 0x55, PLANE_BYTES);
        ASSERT_EQ(load(m.bytes), RGB_LOADED) << k.name << ": " << warn.first();
        EXPECT_EQ(sc.ixmx, k.w) << k.name;
        EXPECT_EQ(sc.iymx, k.h) << k.name;
        EXPECT_EQ(wrong_dots(m), 0) << k.name;
        EXPECT_EQ(pl.g[k.w * k.h], 0x55) << k.name; // nothing beyond the picture
        EXPECT_EQ(warnings(), 0) << k.name;
    }

    // the largest picture there is, and 24-bit dots further on than 54
    ASSERT_EQ(load(bmp(1024, 768)), RGB_LOADED);
    EXPECT_EQ(sc.ixmx, 1024);
    EXPECT_EQ(sc.iymx, 768);
    EXPECT_EQ(wrong_dots(1024, 768), 0);
    ASSERT_EQ(load(bmp(5, 3, 80)), RGB_LOADED);
    EXPECT_EQ(wrong_dots(5, 3), 0);
}

// Each refused for its own reason, in one line naming the file; the planes
// keep their bytes.
TEST_F(LoadBmp, RefusedFilesGiveSizeZero)
{
    std::vector<bmpgen::bmp_bad> cases = bmpgen::bad_bmps();
    std::string not_b = bmp(2, 2);
    not_b[0] = 'b';
    cases.push_back({"first byte", not_b, "neither a BMP"});
    cases.push_back({"one byte", "B", "neither a BMP"});
    cases.push_back({"empty", "", "neither a BMP"});
    cases.push_back({"negative offset", with_offset(bmp(4, 4), -100), "beyond the end"});
    for (auto &c : cases) {
        fill_test_picture(3, 3);
        EXPECT_EQ(load(c.bytes), RGB_REFUSED) << c.name;
        EXPECT_EQ(sc.ixmx, 0) << c.name;
        EXPECT_EQ(sc.iymx, 0) << c.name;
        EXPECT_EQ(wrong_dots(3, 3), 0) << c.name;
        ASSERT_EQ(warnings(), 1) << c.name;
        EXPECT_TRUE(has_warning(c.why.c_str())) << c.name << ": " << warn.first();
        EXPECT_TRUE(has_warning(scratch("in.bmp").c_str())) << c.name;
    }
}

// The fuzzer starts from the generator's files: the seeds are up to date.
TEST_F(LoadBmp, FuzzSeedsAreTheGeneratorsFiles)
{
    const std::string dir = KORU_SOURCE_DIR "/fuzz/corpus/picture/";
    for (const bmpgen::bmp_kind &k : bmpgen::bmp_kinds())
        EXPECT_TRUE(slurp(dir + k.name + ".bmp") == bmpgen::make_bmp(k).bytes) << k.name;
    for (const bmpgen::bmp_bad &b : bmpgen::bad_bmps())
        EXPECT_TRUE(slurp(dir + b.name + ".bmp") == b.bytes) << b.name;
}

// KORU's own kind, cut short inside its dots, loads as it always has: what
// is missing is white, and a warning says so.
TEST_F(LoadBmp, OwnKindCutShortTurnsWhite)
{
    std::string f = bmp(4, 3);
    f.resize(54 + 12 + 5); // the bottom row and five bytes of the next
    fill_test_picture(4, 3);
    std::memset(pl.r, 0, 12);
    ASSERT_EQ(load(f), RGB_LOADED);
    EXPECT_EQ(sc.ixmx, 4);
    EXPECT_EQ(sc.iymx, 3);
    for (int x = 0; x < 4; x++) {
        EXPECT_EQ(pl.r[2 * 4 + x], sample(0, x, 2)); // bottom row read whole
        EXPECT_EQ(pl.r[0 * 4 + x], 255);             // top row missing
    }
    EXPECT_EQ(pl.b[1 * 4 + 1], sample(2, 1, 1));
    EXPECT_EQ(pl.g[1 * 4 + 1], sample(1, 1, 1));
    EXPECT_EQ(pl.r[1 * 4 + 1], 255);
    EXPECT_EQ(pl.b[1 * 4 + 3], 255);
    ASSERT_EQ(warnings(), 1);
    EXPECT_TRUE(has_warning("ends inside its pixels (17 of 36 bytes)")) << warn.first();

    // nothing after the header at all, and sizes in the header that the
    // file does not hold
    std::string e = bmp(2, 2).substr(0, 54);
    bmpgen::patch32(e, 2, 1000);
    bmpgen::patch32(e, 34, 1000);
    ASSERT_EQ(load(e), RGB_LOADED);
    EXPECT_EQ(sc.ixmx, 2);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(pl.g[i], 255);
}

TEST_F(LoadBmp, AFileThatCannotBeOpenedChangesNothing)
{
    fill_test_picture(3, 2);
    warn.clear();
    EXPECT_EQ(load_picture(scratch("absent.bmp").c_str(), pl, sc.ixmx, sc.iymx, warn), RGB_NOFILE);
    EXPECT_EQ(sc.ixmx, 3);
    EXPECT_EQ(sc.iymx, 2);
    EXPECT_EQ(load_picture(scratch.dir.c_str(), pl, sc.ixmx, sc.iymx, warn), RGB_NOFILE);
    EXPECT_EQ(sc.ixmx, 3);
    EXPECT_EQ(wrong_dots(3, 2), 0);
}
