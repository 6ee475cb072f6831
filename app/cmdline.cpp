#include "cmdline.h"

#include "../base/whole.h"
#include "../image/display.h"
#include "../image/picfile.h"

#include <cstring>
#include <strings.h>

const char *const koru_usage =
    "usage: koru [--live] [--studio] [--mode M] [--zoom Z] [FILE]\n"
    "Opens KORU's window. A scene file (.RT) named here is opened and its picture\n"
    "made at once; a picture (.BMP, .PNG) is opened.\n"
    "  --live     live view: the picture follows the scene file and the mouse\n"
    "  --studio   studio view: the scene's text beside the picture, which follows it\n"
    "  --mode M   display mode for this run: 0 8 colours, 1 256 colours, 2 full colour\n"
    "  --zoom Z   display zoom for this run, 50..400 percent\n"
    "  --help     this text\n";

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

bool ends_with(const std::string &s, const char *ext)
{
    const size_t n = std::strlen(ext);
    return s.size() >= n && strcasecmp(s.c_str() + s.size() - n, ext) == 0;
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
            err = std::string("unknown option \"") + a + "\"";
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

bool is_picture_name(const std::string &path)
{
    return ends_with(path, ".bmp") || png_name(path.c_str());
}
