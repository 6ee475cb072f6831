// The display grid: its size at each zoom, which source dot each display
// dot shows, the value by mode, the plane bound and the copy geometry.
#include "image/display.h"
#include "image/reduce.h"
#include "image/rgb.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

// The picture's planes, the grids and the display settings and diffusion
// state, as the window keeps them.
struct Display : ::testing::Test {
    planes pl{};
    dotgrid grid, other;
    int mode = 2, zoom_size = 100;
    diffusion diff;

    void SetUp() override
    {
        gk_reset(diff);
        number_planes();
    }

    int show(dotgrid &g, const planes &p, int w, int h)
    {
        return show_dots(g, diff, p, w, h, zoom_size, mode);
    }

    copyrect rect(const dotgrid &g, int w, int h, int scale)
    {
        return redraw_rect(g, w, h, zoom_size, scale);
    }

    // Every plane index written into its own dot: red the low byte.
    void number_planes()
    {
        for (int i = 0; i < PLANE_BYTES; i++) {
            pl.r[i] = (unsigned char)i;
            pl.g[i] = (unsigned char)(i >> 8);
            pl.b[i] = (unsigned char)(i >> 16);
        }
    }

    void fill_planes(int r, int g, int b)
    {
        std::memset(pl.r, r, PLANE_BYTES);
        std::memset(pl.g, g, PLANE_BYTES);
        std::memset(pl.b, b, PLANE_BYTES);
    }

    // The plane index shown by dot (x, y) of a full-colour grid of
    // numbered planes.
    int shown(int x, int y)
    {
        unsigned v = grid.dot[y * grid.w + x];
        return (int)((v >> 16) | (v & 0xff00) | (v & 0xff) << 16);
    }
};

TEST(DisplaySize, MovesInStepsOfTenPercent)
{
    const int zooms[] = {50, 100, 150, 155, 200, 400, 59};
    const int want[][2] = {{5, 2}, {10, 4}, {15, 6}, {15, 6}, {20, 8}, {40, 16}, {5, 2}};
    for (int k = 0; k < 7; k++) {
        int W, H;
        disp_size(10, 4, zooms[k], W, H);
        EXPECT_EQ(W, want[k][0]) << zooms[k];
        EXPECT_EQ(H, want[k][1]) << zooms[k];
    }
    int W, H;
    disp_size(7, 3, 155, W, H);
    EXPECT_EQ(W, 10);
    EXPECT_EQ(H, 4);
}

TEST(DisplaySize, BoundedBy1024x768AndSafeForAnyInt)
{
    int W, H;
    disp_size(1000, 700, 150, W, H);
    EXPECT_EQ(W, 1024);
    EXPECT_EQ(H, 768);
    disp_size(INT_MAX, INT_MAX, 400, W, H);
    EXPECT_EQ(W, 1024);
    EXPECT_EQ(H, 768);
    disp_size(3, 2, 30, W, H); // zooms outside 50..400 count as the bound
    EXPECT_EQ(W, 1);
    EXPECT_EQ(H, 1);
    disp_size(3, 2, 1000, W, H);
    EXPECT_EQ(W, 12);
    EXPECT_EQ(H, 8);
    disp_size(0, -5, 100, W, H);
    EXPECT_EQ(W, 0);
    EXPECT_EQ(H, 0);
}

TEST_F(Display, At100EachDotShowsItsOwnSourceDot)
{
    ASSERT_EQ(show(grid, pl, 7, 5), 1);
    ASSERT_EQ(grid.w, 7);
    ASSERT_EQ(grid.h, 5);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 7; x++)
            EXPECT_EQ(shown(x, y), y * 7 + x);
}

TEST_F(Display, At50EveryOtherColumnAndRow)
{
    zoom_size = 50;
    show(grid, pl, 10, 4);
    ASSERT_EQ(grid.w, 5);
    ASSERT_EQ(grid.h, 2);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 5; x++)
            EXPECT_EQ(shown(x, y), 2 * y * 10 + 2 * x);
}

TEST_F(Display, At150TheColumnPhaseRunsOnFromRowToRow)
{
    zoom_size = 150;
    show(grid, pl, 10, 4);
    ASSERT_EQ(grid.w, 15);
    ASSERT_EQ(grid.h, 6);
    const int want[6][15] = {
        {0, 0, 1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 8, 9},  // phase 0
        {0, 1, 2, 2, 3, 4, 4, 5, 6, 6, 7, 8, 8, 9, 10}, // phase 90
        {0, 1, 2, 2, 3, 4, 4, 5, 6, 6, 7, 8, 8, 9, 10}, // phase 80
        {0, 1, 2, 2, 3, 4, 4, 5, 5, 6, 7, 7, 8, 9, 9},  // phase 70
        {0, 1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 8, 9, 9},  // phase 60
        {0, 1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 8, 9, 9},  // phase 50
    };
    const int rows[6] = {0, 0, 1, 1, 2, 3};
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 15; x++)
            EXPECT_EQ(shown(x, y), rows[y] * 10 + want[y][x]) << x << "," << y;
    // rows 1 and 2 end on the next byte: the first dot of the next row
    EXPECT_EQ(shown(14, 1), 10);
    EXPECT_EQ(shown(14, 2), 20);
}

TEST_F(Display, At155TheSizeOf150WithStep64)
{
    zoom_size = 155;
    show(grid, pl, 7, 3);
    ASSERT_EQ(grid.w, 10);
    ASSERT_EQ(grid.h, 4);
    const int want[4][10] = {
        {0, 0, 1, 1, 2, 3, 3, 4, 5, 5}, // phase 0
        {0, 1, 1, 2, 2, 3, 4, 4, 5, 6}, // phase 40
        {0, 1, 2, 2, 3, 4, 4, 5, 5, 6}, // phase 80
        {0, 0, 1, 2, 2, 3, 4, 4, 5, 5}, // phase 20
    };
    const int rows[4] = {0, 0, 1, 1};
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 10; x++)
            EXPECT_EQ(shown(x, y), rows[y] * 7 + want[y][x]) << x << "," << y;
}

TEST_F(Display, At200And400EachSourceDotFillsABlock)
{
    zoom_size = 200;
    show(grid, pl, 5, 3);
    ASSERT_EQ(grid.w, 10);
    ASSERT_EQ(grid.h, 6);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 10; x++)
            EXPECT_EQ(shown(x, y), y / 2 * 5 + x / 2);

    zoom_size = 400;
    show(grid, pl, 3, 2);
    ASSERT_EQ(grid.w, 12);
    ASSERT_EQ(grid.h, 8);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 12; x++)
            EXPECT_EQ(shown(x, y), y / 4 * 3 + x / 4);
}

TEST_F(Display, AFullSizePictureAt200ShowsItsTopLeftQuarter)
{
    zoom_size = 200;
    show(grid, pl, 1024, 768);
    ASSERT_EQ(grid.w, 1024);
    ASSERT_EQ(grid.h, 768);
    for (int y = 0; y < 768; y += 7)
        for (int x = 0; x < 1024; x += 5)
            ASSERT_EQ(shown(x, y), y / 2 * 1024 + x / 2) << x << "," << y;
    EXPECT_EQ(shown(1023, 767), 383 * 1024 + 511);
}

TEST_F(Display, AColumnPastTheLastRowReadsTheByteAfterThePicture)
{
    zoom_size = 150;
    show(grid, pl, 10, 2); // 15 x 3, the last row at phase 80 reaches column 10
    ASSERT_EQ(grid.h, 3);
    EXPECT_EQ(shown(14, 2), 20);
}

TEST_F(Display, OversizePicturesReadBlackBeyondThePlanes)
{
    fill_planes(0x40, 0x80, 0xc0);
    show(grid, pl, 5000, 5000);
    ASSERT_EQ(grid.w, 1024);
    ASSERT_EQ(grid.h, 768);
    for (int y = 0; y < 768; y++)
        for (int x = 0; x < 1024; x++) {
            const long long i = (long long)y * 5000 + x;
            ASSERT_EQ(grid.dot[y * 1024 + x], i < PLANE_BYTES ? 0x4080c0u : 0u) << x << "," << y;
        }

    // no size and no zoom reads outside the planes; diffused modes too
    const int sizes[][2] = {{INT_MAX, INT_MAX}, {INT_MAX, 1}, {1, INT_MAX}, {1025, 769}};
    for (int m = 0; m < 3; m++)
        for (int z : {50, 150, 155, 400})
            for (auto &s : sizes) {
                mode = m;
                zoom_size = z;
                ASSERT_EQ(show(grid, pl, s[0], s[1]), 1);
                EXPECT_LE(grid.w, WIDTH_MAX);
                EXPECT_LE(grid.h, HEIGHT_MAX);
            }
    mode = 2;
    zoom_size = 100;
    show(grid, pl, INT_MAX, INT_MAX); // only row 0 lies in the planes
    EXPECT_EQ(grid.dot[5], 0x4080c0u);
    EXPECT_EQ(grid.dot[1024 + 5], 0u);
}

TEST_F(Display, NoSizeLeavesTheGridAndTheStateAlone)
{
    show(grid, pl, 4, 4);
    diff.ecarr = 77;
    EXPECT_EQ(show(grid, pl, 0, 4), 0);
    EXPECT_EQ(show(grid, pl, 4, -1), 0);
    EXPECT_EQ(grid.w, 4);
    EXPECT_EQ(grid.h, 4);
    EXPECT_EQ(diff.ecarr, 77);

    zoom_size = 50; // one dot at half size has no dots, and diffuses nothing
    mode = 0;
    EXPECT_EQ(show(grid, pl, 1, 1), 1);
    EXPECT_EQ(grid.w, 0);
    EXPECT_EQ(grid.h, 0);
    EXPECT_EQ(diff.ecarr, 77);
}

TEST_F(Display, ModeChoosesTheDotValueAndItsColour)
{
    fill_planes(125, 125, 125);
    mode = 1;
    show(grid, pl, 6, 6);
    EXPECT_EQ(grid.mode, 1);
    for (int i = 0; i < 36; i++)
        ASSERT_EQ(grid.dot[i], 86u);
    EXPECT_EQ(dot_rgb(grid, 5, 5), 0x666666u);

    fill_planes(255, 0, 255);
    mode = 0;
    show(grid, pl, 6, 6);
    EXPECT_EQ(grid.mode, 0);
    EXPECT_EQ(grid.dot[0], 3u);
    EXPECT_EQ(dot_rgb(grid, 0, 0), 0xff00ffu);

    fill_planes(1, 2, 3);
    mode = 2;
    show(grid, pl, 6, 6);
    EXPECT_EQ(dot_rgb(grid, 3, 3), 0x010203u);
    EXPECT_EQ(dot_rgb(grid, 6, 0), 0u); // outside the grid
}

TEST_F(Display, OtherModesShowAsMode0)
{
    mode = 0;
    show(other, pl, 37, 11);
    for (int m : {5, -1, 3}) {
        gk_reset(diff);
        mode = m;
        show(grid, pl, 37, 11);
        EXPECT_EQ(grid.mode, 0);
        ASSERT_EQ(grid.w, other.w);
        EXPECT_EQ(std::memcmp(grid.dot, other.dot, sizeof(unsigned) * 37 * 11), 0) << m;
    }
}

TEST_F(Display, TheDiffusionStateCarriesOverToTheNextConversion)
{
    fill_planes(100, 150, 200);
    mode = 0;
    show(other, pl, 9, 5);
    show(grid, pl, 9, 5);
    const size_t row = sizeof(unsigned) * 9;
    EXPECT_NE(std::memcmp(grid.dot, other.dot, row), 0); // first row differs
    gk_reset(diff);
    show(grid, pl, 9, 5);
    EXPECT_EQ(std::memcmp(grid.dot, other.dot, row * 5), 0);
}

TEST_F(Display, RedrawCopiesFromTheTopLeftAtAWholeScale)
{
    show(grid, pl, 40, 30);
    for (int scale : {0, 1, -3}) {
        copyrect c = rect(grid, 40, 30, scale);
        EXPECT_EQ(c.sw, 40);
        EXPECT_EQ(c.sh, 30);
        EXPECT_EQ(c.dw, 40);
        EXPECT_EQ(c.dh, 30);
    }
    copyrect c = rect(grid, 40, 30, 3);
    EXPECT_EQ(c.dw, 120);
    EXPECT_EQ(c.dh, 90);
    c = rect(grid, 40, 30, INT_MAX);
    EXPECT_EQ(c.dw, INT_MAX);
}

TEST_F(Display, RedrawNeverReadsPastTheGrid)
{
    show(grid, pl, 40, 30);
    zoom_size = 200; // zoom raised, no new conversion: only the grid is copied
    copyrect c = rect(grid, 40, 30, 2);
    EXPECT_EQ(c.sw, 40);
    EXPECT_EQ(c.sh, 30);
    EXPECT_EQ(c.dw, 80);
    c = rect(grid, 5000, 5000, 1); // a size from SETTING
    EXPECT_EQ(c.sw, 40);
    EXPECT_EQ(c.sh, 30);
    zoom_size = 50; // smaller now: the top-left W x H of the grid
    c = rect(grid, 40, 30, 1);
    EXPECT_EQ(c.sw, 20);
    EXPECT_EQ(c.sh, 15);
    c = rect(grid, 0, 0, 1);
    EXPECT_EQ(c.sw, 0);
    EXPECT_EQ(c.dh, 0);
}

} // namespace
