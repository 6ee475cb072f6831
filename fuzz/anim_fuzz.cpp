// libFuzzer target: arbitrary bytes as an animated WebP and GIF file, read twice
// through.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n)
{
    anim_input(data, n);
    return 0;
}
