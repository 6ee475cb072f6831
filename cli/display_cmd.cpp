// koru-cli display: placeholder until the display conversion lands.
#include "cli.h"

const char *display_help = "usage: koru-cli display IN.BMP OUT.BMP [--zoom Z] [--mode M]\n";

int cmd_display(int, char **)
{
    return fail("display is not built yet");
}
