// Vector and colour arithmetic.
#include "base/vec.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

void expect_vec(const vec &v, double x, double y, double z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

void expect_col(const colr &c, int r, int g, int b)
{
    EXPECT_EQ(c.r, r);
    EXPECT_EQ(c.g, g);
    EXPECT_EQ(c.b, b);
}

} // namespace

// The result is the destination, so calls nest, and the destination may
// be any input.
TEST(Vec, CallsNestAndTheDestinationMayBeAnInput)
{
    vec a{1, 2, 3}, b{4, -5, 6}, d, e;
    expect_vec(vadd(d, vmul(e, a, 2), b), 6, -1, 12);
    EXPECT_EQ(&vadd(d, a, b), &d);

    vec v{1, 2, 3};
    expect_vec(vadd(v, v, v), 2, 4, 6);
    expect_vec(vsub(v, v, vec{1, 1, 1}), 1, 3, 5);
    expect_vec(vneg(v, v), -1, -3, -5);
    expect_vec(vmul(v, v, -2), 2, 6, 10);
    vec n{3, 0, 4};
    expect_vec(vnorm(n, n), 0.6, 0, 0.8);

    colr k{200, 101, 3};
    expect_col(cadd(k, k, k), 400, 202, 6);
    expect_col(cmul(k, k, 0.25), 100, 50, 1);
}

// vcos takes one root of the product of the squared lengths, which makes
// parallel and perpendicular vectors exact.
TEST(Vec, CosineIsExactForParallelAndPerpendicular)
{
    EXPECT_EQ(vcos(vec{2, 0, 0}, vec{0, 3, 0}), 0);
    EXPECT_EQ(vcos(vec{1, 1, 0}, vec{2, 2, 0}), 1);
    EXPECT_EQ(vcos(vec{1, 0, 0}, vec{-5, 0, 0}), -1);
}

TEST(Vec, SquareAndSign)
{
    EXPECT_EQ(times2(-0.5), 0.25); // the square, not twice
    EXPECT_EQ(sgn(-0.0), 0.0);
    EXPECT_EQ(sgn(1e-300), 1.0);
    EXPECT_EQ(sgn(-7), -1.0);
}

TEST(Colour, MultiplyTruncatesEachChannelTowardZero)
{
    colr d;
    expect_col(cmul(d, colr{200, 101, 3}, 0.5), 100, 50, 1);
    expect_col(cmul(d, colr{10, 10, 10}, -0.25), -2, -2, -2);
    expect_col(cmul(d, colr{255, 255, 255}, 0.9999), 254, 254, 254);
    expect_col(cmul(d, colr{-7, 7, 0}, 0.5), -3, 3, 0);
    expect_col(cadd(d, colr{1, 2, 3}, colr{-4, 250, 255}), -3, 252, 258);
}

// A factor that is no number, or a sum beyond the int range, must not reach
// an integer conversion: the term contributes nothing, or saturates.
TEST(Colour, GuardedAgainstUndefinedConversions)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    colr d{9, 9, 9};
    expect_col(cmul(d, colr{255, 1, 0}, nan), 0, 0, 0);
    expect_col(cmul(d, colr{255, 1, 0}, inf), 0, 0, 0);
    expect_col(cmul(d, colr{255, 1, 0}, -inf), 0, 0, 0);
    expect_col(cmul(d, colr{255, -255, 0}, 1e300), INT_MAX, INT_MIN, 0);
    expect_col(cadd(d, colr{INT_MAX, INT_MIN, 5}, colr{1, -1, 5}), INT_MAX, INT_MIN, 10);
}
