// koru-cli check and explain: a scene file read back to its author.
#include "cli.h"

#include "../base/msg.h"
#include "../scene/check.h"
#include "../scene/explain.h"
#include "../scene/layout.h"
#include "../scene/rtread.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

const char *const check_help =
    "usage: koru-cli check SCENE.RT\n"
    "\n"
    "Reads SCENE.RT and prints on stdout, one line each, what the reader found\n"
    "wrong and what loads but cannot be what was meant (a light inside an opaque\n"
    "solid, a plane without a normal, a quadric without semi-axes, a pattern of\n"
    "width 0, glass with refr <= 0, a primitive named twice in its group, an\n"
    "unknown type, surface or pattern code, a zero look direction, a size that\n"
    "will be clamped, a whole number written with a fraction, and, where records\n"
    "are written one a line, a line with fewer or more numbers than its record),\n"
    "each as FILE:LINE:COL: warning: TEXT, in file order.\n"
    "Exit status: 0 nothing to report, 1 something to report (or the file cannot\n"
    "be read), 2 usage error.\n";

const char *const explain_help =
    "usage: koru-cli explain SCENE.RT\n"
    "\n"
    "Reads SCENE.RT and prints on stdout every number of the scene beside the\n"
    "name of its field and what it means: the view, the lights, the recursion\n"
    "depth, each primitive with its type, surface, pattern and sense named, and\n"
    "the groups, each with the line of the file it comes from. The reader's\n"
    "warnings go to stderr.\n";

namespace {

// A scene and where each of its numbers stands in the file: 60 KB, on
// the heap.
struct reading {
    scene sc;
    scene_map where;
};

} // namespace

int cmd_check(int argc, char **argv)
{
    if (argc != 1)
        return usage_error(check_help,
                           argc ? "check takes one scene file" : "check needs a scene file");
    const char *path = argv[0];
    std::string text;
    if (!read_text(path, text))
        return 1;
    const auto r = std::make_unique<reading>();
    msglist read, found;
    data_load_text(r->sc, text.data(), text.size(), read, &r->where);
    check_scene(r->sc, &r->where, found);
    check_layout(text.data(), text.size(), found);

    // in file order, the reader's line first where both point at one place
    read.lines.insert(read.lines.end(), found.lines.begin(), found.lines.end());
    std::stable_sort(read.lines.begin(), read.lines.end(), [](const msg &a, const msg &b) {
        return a.line != b.line ? a.line < b.line : a.col < b.col;
    });
    read.lost += found.lost;
    print_msgs(stdout, path, read);
    return read.empty() ? 0 : 1;
}

int cmd_explain(int argc, char **argv)
{
    if (argc != 1)
        return usage_error(explain_help,
                           argc ? "explain takes one scene file" : "explain needs a scene file");
    const char *path = argv[0];
    const auto r = std::make_unique<reading>();
    if (!load_scene(r->sc, path, &r->where))
        return 1;
    std::printf("%s, as KORU reads it\n\n%s", path, explain_scene(r->sc, &r->where).c_str());
    return 0;
}
