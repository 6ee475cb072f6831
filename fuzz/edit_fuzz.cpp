// libFuzzer target: field edits, then a scene's text: the edits made, checked and
// undone, and the camera written into the text.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n)
{
    edit_input(data, n);
    return 0;
}
