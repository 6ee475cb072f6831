// The window's tests, headless, each process with a runtime folder and
// settings of its own (headless_app.h).
#include "app/tests/headless_app.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    return run_headless(argc, argv, [&] {
        ::testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    });
}
