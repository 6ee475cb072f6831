// koru-cli render: scene file in, BMP or PNG picture out.
#include "cli.h"

#include "../base/msg.h"
#include "../image/picfile.h"
#include "../image/safewrite.h"
#include "../trace/render.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>

const char *const render_help =
    "usage: koru-cli render SCENE.RT OUT [--stereo | --anaglyph] [--aa N] [--size W H]\n"
    "                        [--threads N] [--plain] [--stats]\n"
    "\n"
    "Loads SCENE.RT, traces it and writes the picture to OUT: an 8-bit RGB PNG\n"
    "file when its name ends in .png (any case), a 24-bit BMP file otherwise.\n"
    "  --stereo      a crossed stereo pair, side by side (\"Make 3D Image\")\n"
    "  --anaglyph    one picture for red-cyan glasses: red from the left eye's\n"
    "                view, green and blue from the right eye's, each at the full\n"
    "                size, with the stereo pair's eye offset\n"
    "  --aa N        anti-aliasing: each dot the average of N x N dots traced\n"
    "                (N from 1 to 8; 1, the default, is the plain picture)\n"
    "  --size W H    image size in dots instead of the scene file's\n"
    "  --threads N   trace on N threads (default: one per core)\n"
    "  --plain       the straightforward reference tracer on one thread\n"
    "  --stats       print the rays traced and the time taken on stderr\n"
    "Ctrl-C, SIGTERM or SIGHUP stops the render; no file is written then, and\n"
    "the status is 128 + the signal's number (130 for Ctrl-C).\n";

namespace {

// The picture file. A BMP is laid out on the tracing threads, a group of
// rows (ROW_GROUP) at a time, straight into the new file where it can be
// (a regular file, or a new one), so that no big buffer is filled and
// little is left to write once the last row is traced. A PNG, and a BMP that cannot be written so,
// is made from the whole picture at the end.
struct picture_out {
    static constexpr int FLUSH_ROWS = 4 * ROW_GROUP;
    const char *path = nullptr;
    safe_file pieces;
    // each group's rows until they are written, one buffer a group
    std::vector<std::vector<unsigned char>> groups;
    bool begin(const char *out, int width, int height)
    {
        if (png_name(out) || !pieces.begin(out))
            return false;
        unsigned char header[BMP_HEADER];
        bmp_header(header, width, height);
        pieces.write_at(0, header, sizeof header);
        groups.resize((size_t)((height + ROW_GROUP - 1) / ROW_GROUP));
        return true;
    }
    void row(int y, int width, int height, const unsigned char *r, const unsigned char *g,
             const unsigned char *b)
    {
        // a group's rows come in order on one thread: laid out side by
        // side, bottom-up as in the file, and written at once
        std::vector<unsigned char> &group = groups[(size_t)(y / ROW_GROUP)];
        const long line = bmp_line_bytes(width);
        const int first = y / ROW_GROUP * ROW_GROUP;
        const int last = std::min(first + ROW_GROUP, height) - 1;
        group.resize((size_t)(line * ROW_GROUP));
        bmp_line(group.data() + (size_t)(line * (last - y)), width, r, g, b);
        if (y < last)
            return;
        pieces.write_at((size_t)bmp_line_at(width, height, last), group.data(),
                        (size_t)(line * (last - first + 1)));
        std::vector<unsigned char>().swap(group);
        // Groups are handed out top to bottom, so the rows a stretch above
        // this one are done: their bytes start on their way to the disk
        // while tracing goes on, and the flush at the end has less to wait
        // for.
        if ((y + 1) % FLUSH_ROWS == 0 && y + 1 >= 2 * FLUSH_ROWS) {
            const long at = bmp_line_at(width, height, y - FLUSH_ROWS);
            pieces.flush_soon((size_t)at, (size_t)(FLUSH_ROWS * line));
        }
    }
    int save(const render_job &job, msglist &msgs)
    {
        if (pieces.started())
            return pieces.commit(msgs);
        const picture &pic = job.result();
        return save_picture(path, pic.w, pic.h, pic.r.data(), pic.g.data(), pic.b.data(), msgs);
    }
};

// After the render: the exit status, with the picture saved when there
// is one.
int finish(int rc, const render_job &job, picture_out &pic, const char *scene, const char *out)
{
    const struct scene &sc = job.model();
    if (rc == RAY_CANCELLED || stop_requested) {
        std::fprintf(stderr, "koru-cli: %s: stopped; nothing written\n", scene);
        return stopped_status();
    }
    if (rc == RAY_NOVIEW)
        return fail("%s: %s; nothing to render", scene, ray_status_text(rc, sc).c_str());
    if (rc == RAY_TOODEEP)
        return fail("%s: %s; nothing written", scene, ray_status_text(rc, sc).c_str());
    const frame &f = job.view();
    if (f.width <= 0 || f.h <= 0)
        return fail("%s: the picture size %d x %d has no dots; nothing to render", scene, f.width,
                    f.h);

    msglist msgs;
    if (!pic.save(job, msgs))
        return fail("%s", msgs.first("cannot write the picture"));
    print_warnings(out, msgs);
    return 0;
}

// What the command line asks for.
struct render_args {
    const char *scene_file = nullptr, *out = nullptr;
    int w = -1, h = -1; // --size, or -1
    int threads = 0, aa = 1;
    bool stereo = false, anaglyph = false, plain = false, stats = false;
};

// -1 when the arguments are good, else the status of the usage error
// reported.
int parse_args(int argc, char **argv, render_args &a)
{
    const char *files[2] = {nullptr, nullptr};
    int nfiles = 0;
    for (int i = 0; i < argc; i++) {
        const char *s = argv[i];
        if (!std::strcmp(s, "--stereo")) {
            a.stereo = true;
        } else if (!std::strcmp(s, "--anaglyph")) {
            a.anaglyph = true;
        } else if (!std::strcmp(s, "--plain")) {
            a.plain = true;
        } else if (!std::strcmp(s, "--stats")) {
            a.stats = true;
        } else if (!std::strcmp(s, "--size")) {
            if (i + 2 >= argc || !parse_uint(argv[i + 1], a.w) || !parse_uint(argv[i + 2], a.h))
                return usage_error(render_help, "--size needs two whole numbers W H");
            i += 2;
        } else if (!std::strcmp(s, "--threads")) {
            if (i + 1 >= argc || !parse_uint(argv[i + 1], a.threads) || a.threads < 1)
                return usage_error(render_help, "--threads needs a number of 1 or more");
            i++;
        } else if (!std::strcmp(s, "--aa")) {
            if (i + 1 >= argc || !parse_uint(argv[i + 1], a.aa) || a.aa < 1 || a.aa > AA_MAX)
                return usage_error(render_help, "--aa needs a whole number from 1 to %d", AA_MAX);
            i++;
        } else if (s[0] == '-' && s[1]) {
            return usage_error(render_help, "unknown option \"%s\"", s);
        } else if (nfiles < 2) {
            files[nfiles++] = s;
        } else {
            return usage_error(render_help, "too many arguments");
        }
    }
    if (nfiles < 2)
        return usage_error(render_help, "render needs a scene file and an output file");
    if (a.stereo && a.anaglyph)
        return usage_error(render_help, "--stereo and --anaglyph are two kinds of picture; "
                                        "choose one");
    a.scene_file = files[0];
    a.out = files[1];
    return -1;
}

// Begins the picture file pic before the render where its rows can be
// written as they are traced (opt then hands them over instead of keeping
// them); pic outlives the render.
void begin_picture(picture_out &pic, const scene &sc, const char *out, render_options &opt)
{
    pic.path = out;
    frame f;
    if (make_frame(sc, opt.stereo, f, opt.anaglyph) && f.width > 0 && f.h > 0 &&
        pic.begin(out, f.width, f.h)) {
        opt.keep = false;
        opt.on_row = [&pic](int y, int width, int height, const unsigned char *r,
                            const unsigned char *g,
                            const unsigned char *b) { pic.row(y, width, height, r, g, b); };
    }
}

// Runs the render, with a progress bar beside it on a terminal; secs gets
// the time it took.
int run_render(render_job &job, bool tty, double &secs)
{
    const auto t0 = std::chrono::steady_clock::now();
    auto draw = [&] {
        const int done = job.rows_done(), rows = job.rows();
        draw_bar(rows > 0 ? (int)((long long)done * BAR_WIDTH / rows) : BAR_WIDTH, "%d/%d rows",
                 done, rows);
    };
    const int rc = run_with_bar(tty, draw, [&] { return job.run(); });
    secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return rc;
}

} // namespace

int cmd_render(int argc, char **argv)
{
    render_args a;
    const int bad = parse_args(argc, argv, a);
    if (bad >= 0)
        return bad;
    const auto model = std::make_unique<scene>(); // 35 KB: out of the stack
    scene &sc = *model;
    if (!load_scene(sc, a.scene_file))
        return 1;
    if (a.w >= 0) {
        sc.ixmx = a.w;
        sc.iymx = a.h;
    }

    // Signals stay caught until the picture is on disk: one that comes
    // while it is written lets the file be finished, never half-written.
    stop_signals catching;
    const bool tty = isatty(2);
    render_options opt;
    opt.stereo = a.stereo ? 1 : 0;
    opt.anaglyph = a.anaglyph;
    opt.aa = a.aa;
    opt.threads = a.threads;
    opt.plain = a.plain;
    opt.cancel = &stop_requested;
    picture_out pic;
    begin_picture(pic, sc, a.out, opt);
    render_job job(sc, opt);
    double secs;
    const int rc = run_render(job, tty, secs);

    // Save the picture and say how it went
    int status = finish(rc, job, pic, a.scene_file, a.out);
    pic.pieces.discard(); // a picture not saved leaves nothing behind
    const frame &v = job.view();
    if (status == 0 && tty)
        std::fprintf(stderr, "koru-cli: %s: %d x %d dots in %.2f s\n", a.out, v.width, v.h, secs);
    if (status == 0 && a.stats)
        std::fprintf(stderr, "stats: %d x %d dots, %.3f ms, rays %lld, shadow rays %lld\n", v.width,
                     v.h, secs * 1e3, job.rays(), job.shadow_rays());
    if (status == 0 && stop_requested) {
        std::fprintf(stderr, "koru-cli: %s: stopped after the picture was written in full\n",
                     a.out);
        return stopped_status();
    }
    return status;
}
