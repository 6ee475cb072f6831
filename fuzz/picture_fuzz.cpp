// libFuzzer target: arbitrary bytes as a picture file (BMP or PNG), decoded
// alone.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n)
{
    picture_input(data, n);
    return 0;
}
