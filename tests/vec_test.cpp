#include "trace/vec.h"
#include <gtest/gtest.h>
TEST(Vec, Placeholder) { EXPECT_EQ(times2(3), 9); }
