// koru-cli thumbnail: a scene file drawn small, for file managers.
#include "cli.h"

#include "../base/msg.h"
#include "../base/whole.h"
#include "../image/png.h"
#include "../trace/thumbnail.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

const char *thumbnail_help =
    "usage: koru-cli thumbnail SCENE.RT OUT [--size N] [--seconds S] [--rays N]\n"
    "\n"
    "Draws SCENE.RT small, as a file manager shows it (KORU's koru.thumbnailer\n"
    "runs this): a PNG whatever OUT's name, the scene's proportions kept, its\n"
    "longer side N dots. Whatever the file holds, it ends soon: a file that is not\n"
    "a regular file of at most 1 MB is refused; rays are followed at most 32\n"
    "reflections deep; a scene that would need more rays is traced smaller and\n"
    "enlarged, saying so on stderr; one that cannot be drawn in time is refused\n"
    "(status 1, one line on stderr, nothing written).\n"
    "  --size N      the longer side, 1 to 1024 dots (128 by default)\n"
    "  --seconds S   the time it may take, 0.1 to 3600 (3 by default)\n"
    "  --rays N      the rays it may trace, primary, secondary and shadow rays\n"
    "                (20000000 by default; the scene traced smaller beyond)\n"
    "e.g. koru-cli thumbnail room.RT room.png --size 256\n";

namespace {

// The largest scene file drawn: a hundred primitives and lights take a few
// kilobytes, and a file beyond this is no scene worth reading in a hurry.
constexpr off_t FILE_MAX = 1 << 20;
// The hard stop: this many seconds beyond the deadline the process ends,
// whatever it is waiting for (a file swapped for a pipe after the check).
constexpr unsigned LAST_RESORT = 10;
constexpr double SECONDS_MIN = 0.1, SECONDS_MAX = 3600;

// Why path is not drawn, or empty when it may be read.
std::string unreadable(const char *path)
{
    struct stat st;
    if (stat(path, &st) != 0)
        return std::string("cannot open \"") + path + "\": " + std::strerror(errno);
    if (!S_ISREG(st.st_mode))
        return std::string("\"") + path + "\" is not a regular file";
    if (st.st_size > FILE_MAX)
        return std::string("\"") + path + "\" is larger than a scene file (1 MB)";
    return "";
}

} // namespace

int cmd_thumbnail(int argc, char **argv)
{
    const char *paths[2] = {nullptr, nullptr};
    int npaths = 0;
    thumb_options o;
    for (int i = 0; i < argc; i++) {
        const char *a = argv[i], *next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!std::strcmp(a, "--size")) {
            if (!next || !parse_uint(next, o.size) || o.size < 1 || o.size > THUMB_MAX)
                return usage_error(thumbnail_help, "--size takes a whole number from 1 to %d",
                                   THUMB_MAX);
            i++;
        } else if (!std::strcmp(a, "--seconds")) {
            if (!next || !parse_real(next, o.seconds) || !(o.seconds >= SECONDS_MIN) ||
                o.seconds > SECONDS_MAX)
                return usage_error(thumbnail_help, "--seconds takes a number from %g to %g",
                                   SECONDS_MIN, SECONDS_MAX);
            i++;
        } else if (!std::strcmp(a, "--rays")) {
            int rays = 0; // beyond the int range: the largest int, rays enough
            if (!next || parse_whole(next, rays) == 0)
                return usage_error(thumbnail_help, "--rays takes a whole number");
            o.rays = rays;
            i++;
        } else if (a[0] == '-' && a[1])
            return usage_error(thumbnail_help, "unknown option \"%s\"", a);
        else if (npaths == 2)
            return usage_error(thumbnail_help, "thumbnail takes a scene file and a picture");
        else
            paths[npaths++] = a;
    }
    if (npaths != 2)
        return usage_error(thumbnail_help, "thumbnail takes a scene file and a picture");
    alarm((unsigned)std::ceil(o.seconds) + LAST_RESORT);

    const std::string why = unreadable(paths[0]);
    if (!why.empty())
        return fail("%s", why.c_str());
    scene sc;
    if (!load_scene(sc, paths[0]))
        return 1;
    picture pic;
    std::string refused;
    const int rc = make_thumbnail(sc, o, pic, refused);
    if (rc == THUMB_NONE)
        return fail("%s: no thumbnail: %s", paths[0], refused.c_str());
    msglist msgs;
    if (!save_png(paths[1], pic.w, pic.h, pic.r.data(), pic.g.data(), pic.b.data(), msgs))
        return fail("%s", msgs.first("cannot write the picture"));
    if (rc == THUMB_SMALL)
        std::fprintf(stderr,
                     "%s: warning: traced smaller than %d x %d and enlarged: the scene "
                     "needs more than %lld rays\n",
                     paths[0], pic.w, pic.h, o.rays);
    return 0;
}
