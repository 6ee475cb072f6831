// Error diffusion to 8 colours and to the cube palette: the first dots of
// a fresh state, how errors are spread and lost, and the state that one
// conversion hands to the next.
#include "image/reduce.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

diffusion st;

struct Reduce : ::testing::Test {
    void SetUp() override { gk_reset(st); }
};

TEST_F(Reduce, Gk8FirstDotTurnsRedOnAndCarriesTheErrors)
{
    EXPECT_EQ(gk8(st, 0, 129, 128, 0), 2);
    // errors -126, 128, 0: a quarter down and down-right, the rest right
    EXPECT_EQ(st.ecarr, -33);
    EXPECT_EQ(st.ecarg, 32);
    EXPECT_EQ(st.ecarb, 0);
    EXPECT_EQ(st.ebufr[0], -31);
    EXPECT_EQ(st.ebufg[0], 32);
    EXPECT_EQ(st.ediar, -31);
    EXPECT_EQ(st.ediag, 32);
    EXPECT_EQ(st.ediab, 0);
}

TEST_F(Reduce, Gk8ThresholdIsAbove128AndSetsTheChannelBits)
{
    EXPECT_EQ(gk8(st, 0, 128, 128, 128), 0);
    EXPECT_EQ(gk8(st, 0, 129, 0, 0), 2);
    EXPECT_EQ(gk8(st, 0, 0, 129, 0), 4);
    EXPECT_EQ(gk8(st, 0, 0, 0, 129), 1);
    EXPECT_EQ(gk8(st, 0, 255, 255, 255), 7);
}

TEST_F(Reduce, MinusSevenIsSpreadAsMinusOneThreeTimesAndMinusFourRight)
{
    gk8(st, 0, 0, 0, 0);
    EXPECT_EQ(gk8(st, 1, 248, 0, 0), 2); // e = 248 - 255 = -7
    EXPECT_EQ(st.ebufr[0], -1);          // down-left
    EXPECT_EQ(st.ebufr[1], -1);          // down
    EXPECT_EQ(st.ediar, -1);             // down-right, pending
    EXPECT_EQ(st.ecarr, -4);             // right: -1 + (-3)
    // the next dot (e = -4 from the carry) lands the pending share below it
    EXPECT_EQ(gk8(st, 2, 0, 0, 0), 0);
    EXPECT_EQ(st.ebufr[1], -2);
    EXPECT_EQ(st.ebufr[2], -2);
}

TEST_F(Reduce, ColumnZeroReceivesNothingFromTheRowAbove)
{
    gk8(st, 0, 0, 0, 0);
    gk8(st, 1, 128, 128, 128); // off, e = 128: 32 down-left into column 0
    EXPECT_EQ(st.ebufr[0], 32);
    EXPECT_EQ(gk8(st, 0, 128, 128, 128), 0); // 128 alone stays off
    EXPECT_EQ(gk8(st, 1, 0, 0, 0), 0);       // carry 32 + above 32 + 0 = 64
}

TEST_F(Reduce, Gk8UniformGreyIsBlackInColumnZeroAndDitheredElsewhere)
{
    std::set<int> rest;
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            int c = gk8(st, x, 128, 128, 128);
            if (x == 0)
                EXPECT_EQ(c, 0) << "row " << y;
            else
                rest.insert(c);
        }
    EXPECT_EQ(rest, (std::set<int>{0, 7}));
}

TEST_F(Reduce, Gk256LevelsOfWhiteBlackAndMidGrey)
{
    EXPECT_EQ(gk256(st, 0, 255, 255, 255), 215);
    gk_reset(st);
    EXPECT_EQ(gk256(st, 0, 0, 0, 0), 0);
    gk_reset(st);
    EXPECT_EQ(gk256(st, 0, 125, 125, 125), 86);
    gk_reset(st);
    EXPECT_EQ(gk256(st, 0, 255, 0, 0), 180);
    gk_reset(st);
    EXPECT_EQ(gk256(st, 0, 0, 0, 51), 1);
}

TEST_F(Reduce, Gk256MeasuresTheErrorFromTheInputSample)
{
    // 125 keeps level 2 everywhere; 140 mixes levels 2 and 3
    std::set<int> at125, at140;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            at125.insert(gk256(st, x, 125, 125, 125));
    gk_reset(st);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            at140.insert(gk256(st, x, 140, 140, 140) / 43); // red level only
    EXPECT_EQ(at125, std::set<int>{86});
    EXPECT_EQ(at140, (std::set<int>{2, 3}));
}

TEST_F(Reduce, TheLastColumnOfTheWidestRowSendsNothingDownRight)
{
    for (int x = 0; x < WIDTH_MAX - 1; x++)
        gk8(st, x, 100, 100, 100);
    const int pending = st.ediar;
    const int e = st.ebufr[WIDTH_MAX - 1] + st.ecarr; // 255 in, always on: e = v - 255
    EXPECT_EQ(gk8(st, WIDTH_MAX - 1, 255, 255, 255), 7);
    EXPECT_EQ(st.ediar, pending);
    EXPECT_EQ(st.ebufr[WIDTH_MAX - 1], e / 4 + pending);
}

// A gk8 row that leaves 96 in column 1 of the red and green buffers and
// -93 in the blue one.
void leave_gk8_errors()
{
    gk8(st, 0, 128, 128, 129);
    gk8(st, 1, 96, 96, 162);
    gk8(st, 2, 96, 96, 162);
    gk8(st, 3, 96, 96, 162);
    ASSERT_EQ(st.ebufr[1], 96);
    ASSERT_EQ(st.ebufg[1], 96);
    ASSERT_EQ(st.ebufb[1], -93);
}

TEST_F(Reduce, Gk8LeftoversReachTheNextGk256RowAndTheLevelIsKept)
{
    leave_gk8_errors();
    EXPECT_EQ(gk256(st, 0, 255, 255, 0), 210);
    // red 255 + 96 would be level 6, blue -93 level -1; green 200 + 96 is 5
    EXPECT_EQ(gk256(st, 1, 255, 200, 0), 5 * 36 + 5 * 6 + 0);
    // the errors are measured from the levels shown
    EXPECT_EQ(st.ecarr, 0);
    EXPECT_EQ(st.ecarb, 0);

    gk_reset(st); // without the leftovers green stays at level 4
    gk256(st, 0, 255, 255, 0);
    EXPECT_EQ(gk256(st, 1, 255, 200, 0), 5 * 36 + 4 * 6 + 0);
}

TEST_F(Reduce, Gk256IndexStaysInThePaletteWhateverGk8Left)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; round++) {
        const int w = 1 + (int)(rng() % 64);
        for (int x = 0; x < w; x++)
            gk8(st, x, rng() % 256, rng() % 256, rng() % 256);
        for (int x = 0; x < w; x++) {
            int i = gk256(st, x, (rng() % 2) * 255, (rng() % 2) * 255, (rng() % 2) * 255);
            ASSERT_GE(i, 0);
            ASSERT_LE(i, 255);
        }
    }
}

TEST(Palette, CubeEntriesAndTheRepeatedTail)
{
    EXPECT_EQ(cube_rgb(0), 0x000000u);
    EXPECT_EQ(cube_rgb(86), 0x666666u);
    EXPECT_EQ(cube_rgb(215), 0xffffffu);
    EXPECT_EQ(cube_rgb(1 * 36 + 2 * 6 + 3), 0x336699u);
    for (int i = 216; i < 256; i++)
        EXPECT_EQ(cube_rgb(i), cube_rgb(i - 216)) << i;
    EXPECT_EQ(cube_rgb(256), 0u);
    EXPECT_EQ(cube_rgb(-1), 0u);
}

TEST(Palette, ColourCodes)
{
    const unsigned want[8] = {0x000000, 0x0000ff, 0xff0000, 0xff00ff,
                              0x00ff00, 0x00ffff, 0xffff00, 0xffffff};
    for (int c = 0; c < 8; c++)
        EXPECT_EQ(code_rgb(c), want[c]) << c;
}

} // namespace
