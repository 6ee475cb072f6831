// libFuzzer target: arbitrary bytes as pictures for KORU's own lossless WebP
// encoder, decoded again dot for dot.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n)
{
    encode_input(data, n);
    return 0;
}
