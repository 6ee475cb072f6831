// libFuzzer target: two scene texts as key scenes: compared and mixed.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n)
{
    keys_input(data, n);
    return 0;
}
