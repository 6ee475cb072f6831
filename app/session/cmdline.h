// cmdline.h - koru's command line: koru [--live] [--studio] [--mode M] [--zoom Z] [FILE]
//
//   FILE        a scene (.RT) is opened and its picture made at once; a
//               picture (.BMP, .PNG) is opened
//   --live      live view on, as its menu item turns it on (and remembered)
//   --studio    studio view on, as its menu item turns it on (and remembered)
//   --mode M    Config's display mode for this run: 0, 1 or 2
//   --zoom Z    Config's zoom for this run: 50..400 percent
//   --help      the usage
//
// The toolkit's own options (-platform NAME, -display HOST:N, -style S,
// -reverse ... as in qt6options(7)) pass through untouched, for the toolkit
// to take when it starts; -platform and -display are kept in cmdline.
//
// parse_cmdline reads the command line before the toolkit starts, so that
// --help and a mistake need no display. It returns CMD_RUN, CMD_HELP, or
// CMD_BAD with one line in err (the caller prints it and exits with
// status 2).
//
// display_present tells whether the window has somewhere to open: the
// toolkit's platform (-platform, else QT_QPA_PLATFORM, else X11 or the
// Wayland session's) and its display (DISPLAY or -display for X11;
// WAYLAND_DISPLAY, WAYLAND_SOCKET or the default socket for Wayland).
// Platforms that need no display server (offscreen, eglfs, vnc ...) count
// as present; env looks up a variable of the environment (nullptr when it
// is not set).
#pragma once

#include <functional>
#include <string>

struct cmdline {
    bool live = false;
    bool studio = false;
    int mode = -1; // -1: as remembered
    int zoom = -1; // -1: as remembered
    std::string file;
    std::string platform, display; // the toolkit's -platform and -display, if given
};

enum { CMD_RUN = 0, CMD_HELP = 1, CMD_BAD = 2 };

extern const char koru_usage[];

int parse_cmdline(int argc, char **argv, cmdline &c, std::string &err);

bool display_present(const cmdline &c, const std::function<const char *(const char *)> &env);

// Whether a file named on the command line, dropped on the window or
// picked from the recent files is a picture (.BMP or .PNG, any case)
// rather than a scene.
bool is_picture_name(const std::string &path);
