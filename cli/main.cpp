// koru-cli - KORU's renderer, scene listing and display conversion for
// batch use, tests and benchmarks.
#include "cli.h"

#include "../base/msg.h"
#include "../base/openread.h"
#include "../base/sizes.h"
#include "../base/whole.h"
#include "../scene/rtread.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char *main_help =
    "usage: koru-cli COMMAND ARGS...\n"
    "\n"
    "  render SCENE.RT OUT [--stereo | --anaglyph] [--aa N] [--size W H] [--threads N]\n"
    "                 [--plain] [--stats]\n"
    "                 trace a scene file into a picture: an 8-bit RGB PNG when OUT\n"
    "                 ends in .png, a 24-bit BMP otherwise\n"
    "  info SCENE.RT  list the scene model as one JSON object\n"
    "  check SCENE.RT what the reader finds wrong and what cannot be meant, one\n"
    "                 FILE:LINE:COL: line each\n"
    "  explain SCENE.RT\n"
    "                 every number of the scene beside the name of its field\n"
    "  display IN OUT [--zoom Z] [--mode M]\n"
    "                 the dots KORU's window shows for a BMP or PNG picture\n"
    "  pick SCENE.RT X Y [--size W H] [--stereo]\n"
    "                 the primitive dot (X, Y) of the picture shows, as JSON\n"
    "  set SCENE.RT FIELD=VALUE... [--dry-run]\n"
    "                 change numbers of a scene file, keeping every other byte\n"
    "  edit SCENE.RT ACTION... [--dry-run]\n"
    "                 add, copy, move and take out primitives, lights and groups,\n"
    "                 keeping the file consistent and every other byte\n"
    "  new [--template NAME] [FILE.RT]\n"
    "                 a new scene to start from: camera, light, floor, sphere, or\n"
    "                 one of the templates (new --template lists them)\n"
    "  animate KEY.RT [KEY.RT...] OUT --frames N [--orbit DEG] [--fps F]\n"
    "                 frames moving from key scene to key scene, or turning round\n"
    "                 one: an animated .webp or .gif, or numbered pictures\n"
    "  join 'frame_%04d.png' OUT [--fps F]\n"
    "                 numbered pictures into an animated .webp or .gif\n"
    "  thumbnail SCENE.RT OUT [--size N]\n"
    "                 the scene drawn small as a PNG, quickly whatever it holds,\n"
    "                 for file managers\n"
    "\n"
    "koru-cli COMMAND --help describes a command. Reader warnings go to stderr as\n"
    "FILE:LINE:COL: warning: TEXT.\n"
    "Exit status: 0 done (check: nothing to report), 1 failed, with one line on\n"
    "stderr saying why (check: something to report), 2 usage error, 128 + the\n"
    "signal's number when Ctrl-C (130), SIGTERM (143) or SIGHUP (129) stopped it.\n";

struct command {
    const char *name;
    int (*run)(int, char **);
    const char **help;
};

const command commands[] = {
    {"render", cmd_render, &render_help},
    {"info", cmd_info, &info_help},
    {"display", cmd_display, &display_help},
    {"check", cmd_check, &check_help},
    {"explain", cmd_explain, &explain_help},
    {"pick", cmd_pick, &pick_help},
    {"set", cmd_set, &set_help},
    {"edit", cmd_edit, &edit_help},
    {"new", cmd_new, &new_help},
    {"animate", cmd_animate, &animate_help},
    {"join", cmd_join, &join_help},
    {"thumbnail", cmd_thumbnail, &thumbnail_help},
};

} // namespace

bool is_help(const char *s) { return !std::strcmp(s, "--help") || !std::strcmp(s, "-h"); }

int usage_error(const char *help, const char *fmt, ...)
{
    std::fputs("koru-cli: ", stderr);
    va_list ap;
    va_start(ap, fmt);
    std::vfprintf(stderr, fmt, ap);
    va_end(ap);
    std::fputs("\n", stderr);
    std::fputs(help, stderr);
    return 2;
}

int fail(const char *fmt, ...)
{
    std::fputs("koru-cli: ", stderr);
    va_list ap;
    va_start(ap, fmt);
    std::vfprintf(stderr, fmt, ap);
    va_end(ap);
    std::fputs("\n", stderr);
    return 1;
}

void print_msgs(std::FILE *out, const char *file, const msglist &msgs)
{
    for (const msg &m : msgs.lines)
        std::fprintf(out, "%s\n", msg_text(file, m).c_str());
    if (msgs.lost)
        std::fprintf(out, "%s: warning: %d more warnings\n", file, msgs.lost);
}

void print_warnings(const char *file, const msglist &msgs) { print_msgs(stderr, file, msgs); }

bool load_scene(scene &sc, const char *path, scene_map *map)
{
    msglist msgs;
    if (!data_load(sc, path, msgs, map)) {
        fail("%s", msgs.first("cannot open the scene file"));
        return false;
    }
    print_warnings(path, msgs);
    return true;
}

bool read_text(const char *path, std::string &text)
{
    msglist msgs;
    if (read_whole(path, SCENE_FILE_MAX, "scene file", text, msgs))
        return true;
    fail("%s", msgs.first("cannot read the scene file"));
    return false;
}

bool parse_uint(const char *s, int &v) { return parse_whole(s, v) == 1; }

std::vector<const char *> command_names()
{
    std::vector<const char *> names;
    for (const command &c : commands)
        names.push_back(c.name);
    return names;
}

bool runs_command(const char *name)
{
    for (const command &c : commands)
        if (!std::strcmp(c.name, name))
            return true;
    return false;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage_error(main_help, "no command given");
    if (is_help(argv[1])) {
        std::fputs(main_help, stdout);
        return 0;
    }
    // the completion scripts' question: its words are never options of its own
    if (!std::strcmp(argv[1], "complete"))
        return cmd_complete(argc - 2, argv + 2);
    for (const command &c : commands) {
        if (std::strcmp(argv[1], c.name))
            continue;
        for (int i = 2; i < argc; i++)
            if (is_help(argv[i])) {
                std::fputs(*c.help, stdout);
                return 0;
            }
        return c.run(argc - 2, argv + 2);
    }
    return usage_error(main_help, "unknown command \"%s\"", argv[1]);
}
