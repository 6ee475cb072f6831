// koru-cli display: a BMP or PNG picture in, the dots KORU's window shows
// for it out, as a BMP or PNG of the display's size.
#include "cli.h"

#include "../image/display.h"
#include "../image/picfile.h"
#include "../image/reduce.h"
#include "../image/rgb.h"
#include "../base/msg.h"
#include "../base/whole.h"

#include <cstdio>
#include <cstring>
#include <memory>

const char *const display_help =
    "usage: koru-cli display IN OUT [--zoom Z] [--mode M]\n"
    "\n"
    "Loads the picture IN (a BMP or a PNG file, told by its contents) and writes\n"
    "the dots KORU's window shows for it to OUT, at the display's size, as one\n"
    "conversion from the start-up state. OUT is an 8-bit RGB PNG file when its\n"
    "name ends in .png (any case), a 24-bit BMP file otherwise.\n"
    "  --zoom Z   display zoom in percent, 50..400 (default 100); a zoom\n"
    "             outside is taken as the nearer bound, as the CONFIG dialog does\n"
    "  --mode M   0 = 8-colour diffusion (default), 1 = 256-colour diffusion,\n"
    "             2 = full colour; any other whole number shows as 0\n"
    "Ctrl-C, SIGTERM or SIGHUP before the picture is written stops with nothing\n"
    "written (status 128 + the signal's number); one that comes while it is\n"
    "written lets it be finished first.\n";

namespace {

// What one conversion works on, 8.6 MB: on the heap, all zero to begin
// with.
struct display_work {
    planes pl;
    dotgrid grid;
    diffusion start; // the window's state when it starts
    unsigned char outr[DOTS_MAX], outg[DOTS_MAX], outb[DOTS_MAX];

    // The grid's dots into the three planes written out.
    void split_dots()
    {
        for (int y = 0; y < grid.h; y++)
            for (int x = 0; x < grid.w; x++) {
                const unsigned rgb = dot_rgb(grid, x, y);
                const int i = y * grid.w + x;
                outr[i] = (unsigned char)(rgb >> 16);
                outg[i] = (unsigned char)(rgb >> 8);
                outb[i] = (unsigned char)rgb;
            }
    }
};

} // namespace

int cmd_display(int argc, char **argv)
{
    const char *files[2] = {nullptr, nullptr};
    int nfiles = 0, zoom = 100, m = 0;
    for (int i = 0; i < argc; i++) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--zoom")) {
            // a zoom too large for an int counts as the largest
            if (i + 1 >= argc || !parse_whole(argv[i + 1], zoom))
                return usage_error(display_help, "--zoom needs a whole number of percent");
            i++;
        } else if (!std::strcmp(a, "--mode")) {
            if (i + 1 >= argc || parse_whole(argv[i + 1], m, WHOLE_SIGN) != 1)
                return usage_error(display_help, "--mode needs a whole number");
            i++;
        } else if (a[0] == '-' && a[1]) {
            return usage_error(display_help, "unknown option \"%s\"", a);
        } else if (nfiles < 2) {
            files[nfiles++] = a;
        } else {
            return usage_error(display_help, "too many arguments");
        }
    }
    if (nfiles < 2)
        return usage_error(display_help, "display needs an input and an output file");
    const char *in = files[0], *out = files[1];

    // a signal lets a file begun be finished, and stops one not begun
    stop_signals catching;
    const auto work = std::make_unique<display_work>();
    display_work &d = *work;
    msglist msgs;
    int w, h;
    if (load_picture(in, d.pl, w, h, msgs) != RGB_LOADED)
        return fail("%s", msgs.first("cannot read the picture"));
    print_warnings(in, msgs);

    zoom = zoom < ZOOM_MIN ? ZOOM_MIN : zoom > ZOOM_MAX ? ZOOM_MAX : zoom;
    const dotgrid &grid = d.grid;
    show_dots(d.grid, d.start, d.pl, w, h, zoom, m);
    if (grid.w <= 0 || grid.h <= 0)
        return fail("%s: %d x %d dots at %d %% leave no dots to show", in, w, h, zoom);

    d.split_dots();
    msgs.clear();
    if (stop_requested) {
        std::fprintf(stderr, "koru-cli: %s: stopped; nothing written\n", in);
        return stopped_status();
    }
    if (!save_picture(out, grid.w, grid.h, d.outr, d.outg, d.outb, msgs))
        return fail("%s", msgs.first("cannot write the picture"));
    print_warnings(out, msgs);
    if (stop_requested) {
        std::fprintf(stderr, "koru-cli: %s: stopped after the picture was written in full\n", out);
        return stopped_status();
    }
    return 0;
}
