#include "app/session/cmdline.h"

#include "base/whole.h"
#include "image/display.h"
#include "image/picfile.h"

#include <cstring>
#include <sys/stat.h>

const char koru_usage[] =
    "usage: koru [--live] [--studio] [--mode M] [--zoom Z] [FILE]\n"
    "Opens KORU's window. A scene file (.RT) named here is opened and its picture\n"
    "made at once; a picture (.BMP, .PNG) is opened.\n"
    "  --live     live view: the picture follows the scene file and the mouse\n"
    "  --studio   studio view: the scene's text beside the picture, which follows it\n"
    "  --mode M   display mode for this run: 0 8 colours, 1 256 colours, 2 full colour\n"
    "  --zoom Z   display zoom for this run, 50..400 percent\n"
    "  --help     this text\n"
    "The toolkit's own options (-platform, -display, -style ...) are taken as well.\n";

namespace {

// The value after option argv[i], as a whole number within lo..hi.
bool option_value(int argc, char **argv, int &i, int lo, int hi, int &v, std::string &err)
{
    const char *name = argv[i];
    if (i + 1 >= argc) {
        err = std::string(name) + " needs a value";
        return false;
    }
    const char *s = argv[++i];
    if (parse_whole(s, v) != 1 || v < lo || v > hi) {
        err = std::string(name) + " takes a whole number from " + std::to_string(lo) + " to " +
              std::to_string(hi) + ", not \"" + s + "\"";
        return false;
    }
    return true;
}

// The toolkit's options that a program may be given (qt6options(7)); it
// takes them out of the command line when it starts. "next": the value is
// the next argument, unless given as "-style=S".
struct toolkit_option {
    const char *name;
    bool next;
};
// clang-format off
const toolkit_option toolkit_options[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true}, {"qwindowtitle", true}, {"session", true},
    {"display", true}, {"geometry", true}, {"style", true}, {"stylesheet", true},
    {"reverse", false}, {"widgetcount", false}, {"qmljsdebugger", false}, {"dialogs", false},
    {"fontengine", false},
};
// clang-format on

// If argv[i] is one of the toolkit's options (one dash or two), steps
// over it and its value, keeping -platform's and -display's: 1. 0 when it
// is not one, -1 when its value is missing.
int toolkit_option_at(int argc, char **argv, int &i, cmdline &c)
{
    const char *a = argv[i] + (argv[i][1] == '-' ? 2 : 1);
    const char *eq = std::strchr(a, '=');
    const std::string name(a, eq ? (size_t)(eq - a) : std::strlen(a));
    for (const toolkit_option &o : toolkit_options) {
        if (name != o.name)
            continue;
        if (eq || !o.next)
            return 1; // what value there is is in this argument
        if (i + 1 >= argc)
            return -1;
        const char *value = argv[++i];
        if (name == "platform")
            c.platform = value;
        else if (name == "display")
            c.display = value;
        return 1;
    }
    return 0;
}

bool set(const char *s) { return s && *s; }

// Whether the toolkit's platform named (up to its ":options") has its
// display: X11 and Wayland need a server; any other platform draws
// without one, or knows better than koru.
bool platform_has_display(const std::string &name, const cmdline &c,
                          const std::function<const char *(const char *)> &env)
{
    if (name == "xcb")
        return !c.display.empty() || set(env("DISPLAY"));
    if (name.compare(0, 7, "wayland") != 0)
        return true;
    if (set(env("WAYLAND_DISPLAY")) || set(env("WAYLAND_SOCKET")))
        return true;
    // without WAYLAND_DISPLAY a client tries the default socket
    const char *run = env("XDG_RUNTIME_DIR");
    struct stat st;
    return set(run) && stat((std::string(run) + "/wayland-0").c_str(), &st) == 0;
}

} // namespace

int parse_cmdline(int argc, char **argv, cmdline &c, std::string &err)
{
    c = cmdline{};
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h"))
            return CMD_HELP;
        if (!std::strcmp(a, "--live")) {
            c.live = true;
        } else if (!std::strcmp(a, "--studio")) {
            c.studio = true;
        } else if (!std::strcmp(a, "--mode")) {
            if (!option_value(argc, argv, i, 0, 2, c.mode, err))
                return CMD_BAD;
        } else if (!std::strcmp(a, "--zoom")) {
            if (!option_value(argc, argv, i, ZOOM_MIN, ZOOM_MAX, c.zoom, err))
                return CMD_BAD;
        } else if (!std::strcmp(a, "--")) {
            if (i + 1 < argc && c.file.empty())
                c.file = argv[++i];
            if (i + 1 < argc) {
                err = std::string("one file only, not also \"") + argv[i + 1] + "\"";
                return CMD_BAD;
            }
        } else if (a[0] == '-' && a[1]) {
            const int taken = toolkit_option_at(argc, argv, i, c);
            if (taken == 0)
                err = std::string("unknown option \"") + a + "\"";
            else if (taken < 0)
                err = std::string(a) + " needs a value";
            if (taken <= 0)
                return CMD_BAD;
        } else if (!c.file.empty()) {
            err = std::string("one file only, not also \"") + a + "\"";
            return CMD_BAD;
        } else {
            c.file = a;
        }
    }
    return CMD_RUN;
}

bool display_present(const cmdline &c, const std::function<const char *(const char *)> &env)
{
    // Debian's toolkit starts X11 by default, and Wayland in a Wayland
    // session; a list ("wayland;xcb") is tried in turn
    std::string platforms = !c.platform.empty()           ? c.platform
                            : set(env("QT_QPA_PLATFORM")) ? env("QT_QPA_PLATFORM")
                                                          : "";
    if (platforms.find_first_not_of(';') == std::string::npos)
        platforms = "xcb;wayland";
    size_t at = 0;
    while (at <= platforms.size()) {
        size_t end = platforms.find(';', at);
        if (end == std::string::npos)
            end = platforms.size();
        const std::string entry = platforms.substr(at, end - at);
        const std::string name = entry.substr(0, entry.find(':'));
        if (!name.empty() && platform_has_display(name, c, env))
            return true;
        at = end + 1;
    }
    return false;
}

bool is_picture_name(const std::string &path)
{
    return name_ends(path.c_str(), ".bmp") || png_name(path.c_str());
}
