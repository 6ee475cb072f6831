// libFuzzer target: arbitrary bytes as a picture file (BMP or PNG), shown in every
// display mode at a few zooms.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n)
{
    display_input(data, n);
    return 0;
}
