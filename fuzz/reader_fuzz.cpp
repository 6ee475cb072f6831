// libFuzzer target: arbitrary bytes as .RT text, read and checked, never
// rendered.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n)
{
    reader_input(data, n);
    return 0;
}
