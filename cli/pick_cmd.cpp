// koru-cli pick: which primitive a dot of the picture shows.
#include "cli.h"

#include "../scene/check.h"
#include "../scene/rtread.h"
#include "../trace/pick.h"
#include "../trace/render.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

const char *const pick_help =
    "usage: koru-cli pick SCENE.RT X Y [--size W H] [--stereo]\n"
    "\n"
    "Prints on stdout, as one JSON object, the primitive that dot (X, Y) of the\n"
    "picture shows (X from 0 at the left, Y from 0 at the top): the one its\n"
    "primary ray meets first, found as the tracer finds it.\n"
    "  {\"x\":X, \"y\":Y, \"index\":I, \"number\":N, \"type\":T, \"line\":L,\n"
    "   \"point\":[x, y, z]}\n"
    "index is its 0-based place in the primitive table, number the same from 1\n"
    "as explain numbers it, type its kind (\"plane\", \"box\", \"quadric\", \"cone\"),\n"
    "line the line of SCENE.RT its record begins on, point where the ray meets\n"
    "it in scene units. On background all five are null.\n"
    "  --size W H    image size in dots instead of the scene file's (as render)\n"
    "  --stereo      in the crossed stereo pair (\"Make 3D Image\"): X counts\n"
    "                across both halves\n"
    "Exit status: 0 done, 1 the scene cannot be read or rendered, 2 usage error\n"
    "(a dot outside the picture too).\n";

namespace {

void num(std::string &o, double v)
{
    char buf[32];
    o.append(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17).ptr);
}

std::string pick_json(int x, int y, const pick_hit &h, const scene &sc, const scene_map &map)
{
    std::string o = "{\"x\":" + std::to_string(x) + ",\"y\":" + std::to_string(y);
    if (h.index < 0)
        return o + ",\"index\":null,\"number\":null,\"type\":null,\"line\":null,\"point\":null}\n";
    o += ",\"index\":" + std::to_string(h.index) + ",\"number\":" + std::to_string(h.index + 1);
    o += ",\"type\":\"" + std::string(type_name(sc.pri[h.index].type)) + "\"";
    o += ",\"line\":" + std::to_string(map.prim[h.index][P_TYPE].line) + ",\"point\":[";
    num(o, h.point.x);
    o += ',';
    num(o, h.point.y);
    o += ',';
    num(o, h.point.z);
    return o + "]}\n";
}

} // namespace

int cmd_pick(int argc, char **argv)
{
    const char *args[3] = {};
    int nargs = 0, w = -1, h = -1, xy[2];
    bool stereo = false;
    for (int i = 0; i < argc; i++) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--stereo")) {
            stereo = true;
        } else if (!std::strcmp(a, "--size")) {
            if (i + 2 >= argc || !parse_uint(argv[i + 1], w) || !parse_uint(argv[i + 2], h))
                return usage_error(pick_help, "--size needs two whole numbers W H");
            i += 2;
        } else if (a[0] == '-' && a[1]) {
            return usage_error(pick_help, "unknown option \"%s\"", a);
        } else if (nargs < 3) {
            args[nargs++] = a;
        } else {
            return usage_error(pick_help, "too many arguments");
        }
    }
    if (nargs < 3)
        return usage_error(pick_help, "pick needs a scene file and a dot's X and Y");
    for (int k = 0; k < 2; k++)
        if (!parse_uint(args[k + 1], xy[k]))
            return usage_error(pick_help, "X and Y are whole numbers from 0, not \"%s\"",
                               args[k + 1]);

    const auto model = std::make_unique<scene>(); // 35 KB: out of the stack
    const auto map = std::make_unique<scene_map>();
    scene &sc = *model;
    if (!load_scene(sc, args[0], map.get()))
        return 1;
    if (w >= 0) {
        sc.ixmx = w;
        sc.iymx = h;
    }
    frame f;
    if (!make_frame(sc, stereo ? 1 : 0, f))
        return fail("%s: %s; nothing to pick", args[0], ray_status_text(RAY_NOVIEW, sc).c_str());
    if (f.width <= 0 || f.h <= 0 || f.w <= 0)
        return fail("%s: the picture size %d x %d has no dots; nothing to pick", args[0], f.width,
                    f.h);
    pick_hit hit;
    if (!pick_dot(sc, f, xy[0], xy[1], hit)) {
        std::fprintf(stderr, "koru-cli: dot (%d, %d) is outside the picture of %d x %d dots\n",
                     xy[0], xy[1], f.width, f.h);
        return 2;
    }
    std::fputs(pick_json(xy[0], xy[1], hit, sc, *map).c_str(), stdout);
    return 0;
}
