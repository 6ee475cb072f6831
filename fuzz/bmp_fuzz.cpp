// libFuzzer target: arbitrary bytes as a .BMP picture file.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n)
{
    bmp_input(data, n);
    return 0;
}
