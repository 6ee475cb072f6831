// libFuzzer target: arbitrary bytes as a .RT scene file.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n)
{
    scene_input(data, n);
    return 0;
}
