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
// parse_cmdline returns CMD_RUN, CMD_HELP, or CMD_BAD with one line in err
// (the caller prints it and the usage and exits with status 2).
#pragma once

#include <string>

struct cmdline {
    bool live = false;
    bool studio = false;
    int mode = -1; // -1: as remembered
    int zoom = -1; // -1: as remembered
    std::string file;
};

enum { CMD_RUN = 0, CMD_HELP = 1, CMD_BAD = 2 };

extern const char *const koru_usage;

int parse_cmdline(int argc, char **argv, cmdline &c, std::string &err);

// Whether a file named on the command line, dropped on the window or
// picked from the recent files is a picture (.BMP or .PNG, any case)
// rather than a scene.
bool is_picture_name(const std::string &path);
