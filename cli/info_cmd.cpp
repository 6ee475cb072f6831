// koru-cli info: the scene model as one JSON object.
#include "cli.h"

#include "../base/msg.h"
#include "../scene/rtread.h"
#include "info_json.h"

#include <cstdio>
#include <memory>

const char *const info_help =
    "usage: koru-cli info SCENE.RT\n"
    "\n"
    "Loads SCENE.RT and prints the scene model on stdout as one JSON object:\n"
    "camera and size, lights and primitives in table order (quadric and cone\n"
    "coefficients as stored, partner lists of groups as 0-based indices), and\n"
    "the reader's warnings. Numbers that are not finite print as null.\n";

int cmd_info(int argc, char **argv)
{
    if (argc != 1)
        return usage_error(info_help,
                           argc ? "info takes one scene file" : "info needs a scene file");
    const auto sc = std::make_unique<scene>(); // 35 KB: out of the stack
    msglist msgs;
    if (!data_load(*sc, argv[0], msgs))
        return fail("%s", msgs.first("cannot open the scene file"));
    print_warnings(argv[0], msgs);

    info_json(stdout, *sc, msgs);
    return 0;
}
