// koru-cli new: a scene to start from, from one of the named templates.
#include "cli.h"

#include "../scene/templates.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

// "  NAME      TITLE" a line, for each template.
std::string template_list()
{
    std::string s;
    for (int i = 0; i < scene_template_count(); i++) {
        const scene_template &t = scene_template_at(i);
        char line[160];
        std::snprintf(line, sizeof line, "  %-10s%s\n", t.name, t.title);
        s += line;
    }
    return s;
}

const char *make_new_help()
{
    static const std::string help =
        "usage: koru-cli new [--template NAME] [FILE.RT]\n"
        "\n"
        "Writes a new scene to start from, as the window's New Scene does: by default\n"
        "a camera, a light, a checkered floor and a sphere. Without FILE.RT it goes to\n"
        "stdout; a FILE.RT that exists is not replaced.\n"
        "  --template NAME  start from another template; without NAME, list them:\n" +
        template_list() +
        "e.g. koru-cli new --template csg piece.RT && koru-cli render piece.RT piece.png\n";
    return help.c_str();
}

} // namespace

const char *new_help = make_new_help();

int cmd_new(int argc, char **argv)
{
    const scene_template *t = &scene_template_at(0);
    const char *path = nullptr;
    for (int i = 0; i < argc; i++) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--template")) {
            if (i + 1 == argc) {
                std::fputs(template_list().c_str(), stdout);
                return 0;
            }
            t = find_scene_template(argv[++i]);
            if (!t) {
                std::fprintf(stderr, "koru-cli: no template \"%s\"; the templates are:\n%s",
                             argv[i], template_list().c_str());
                return 2;
            }
        } else if (a[0] == '-' && a[1])
            return usage_error(new_help, "unknown option \"%s\"", a);
        else if (path)
            return usage_error(new_help, "new takes at most one file");
        else
            path = a;
    }
    if (!path || !std::strcmp(path, "-")) {
        std::fputs(t->text, stdout);
        return 0;
    }
    struct stat st;
    if (lstat(path, &st) == 0)
        return fail("%s exists; new does not replace a file", path);
    return write_scene_file(path, t->text);
}
