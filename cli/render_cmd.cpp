// koru-cli render: scene file in, BMP picture out.
#include "cli.h"

#include "../base/msg.h"
#include "../image/rgb.h"
#include "../image/safewrite.h"
#include "../trace/render.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>
#include <vector>

const char *render_help =
    "usage: koru-cli render SCENE.RT OUT.BMP [--stereo] [--size W H] [--threads N] [--plain]\n"
    "                        [--stats]\n"
    "\n"
    "Loads SCENE.RT, traces it and writes the picture to OUT.BMP (24-bit).\n"
    "  --stereo      a crossed stereo pair, side by side (\"Make 3D Image\")\n"
    "  --size W H    image size in dots instead of the scene file's\n"
    "  --threads N   trace on N threads (default: one per core)\n"
    "  --plain       the straightforward reference tracer on one thread\n"
    "  --stats       print the rays traced and the time taken on stderr\n"
    "Ctrl-C stops the render; no file is written then (status 130).\n";

namespace {

// Set by the signal handler; the render watches it as its stop flag, so
// the handler touches nothing but this one lock-free flag.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets it");

void on_sigint(int) { interrupted.store(true); }

void draw_bar(int done, int rows)
{
    const int width = 40;
    int fill = rows > 0 ? (int)((long long)done * width / rows) : width;
    char bar[width + 1];
    for (int i = 0; i < width; i++)
        bar[i] = i < fill ? '#' : '.';
    bar[width] = 0;
    std::fprintf(stderr, "\r[%s] %d/%d rows", bar, done, rows);
    std::fflush(stderr);
}

// The BMP file, laid out row by row on the tracing threads: written to
// the new file as each row is done where it can be (a regular file, or a
// new one), so that no big buffer is filled and little is left to write
// once the last row is traced; else kept whole and written at the end.
struct bmp_out {
    const char *path = nullptr;
    safe_file pieces;
    std::vector<unsigned char> file; // when not written in pieces
    void begin(const char *out, int width, int height)
    {
        path = out;
        if (pieces.begin(out)) {
            unsigned char header[54];
            bmp_header(header, width, height);
            pieces.write_at(0, header, sizeof header);
            return;
        }
        file.assign((size_t)bmp_bytes(width, height), 0);
        bmp_header(file.data(), width, height);
    }
    void row(int y, int width, int height, const unsigned char *r, const unsigned char *g,
             const unsigned char *b)
    {
        if (!pieces.started()) {
            bmp_row(file.data(), width, height, y, r, g, b);
            return;
        }
        thread_local std::vector<unsigned char> line;
        line.resize((size_t)bmp_line_bytes(width));
        bmp_line(line.data(), width, r, g, b);
        pieces.write_at((size_t)bmp_line_at(width, height, y), line.data(), line.size());
    }
    int save(msglist &msgs)
    {
        if (pieces.started())
            return pieces.commit(msgs);
        return write_file_safely(path, file.data(), file.size(), msgs);
    }
};

// After the render: the exit status, with the picture saved when there
// is one.
int finish(int rc, const render_job &job, bmp_out &bmp, const char *scene)
{
    const struct scene &sc = job.model();
    if (rc == RAY_CANCELLED || interrupted) {
        std::fprintf(stderr, "koru-cli: %s: stopped; nothing written\n", scene);
        return 130;
    }
    if (rc == RAY_NOVIEW && sc.vpnax == 0 && sc.vpnay == 0 && sc.vpnaz == 0)
        return fail("%s: the look direction (0, 0, 0) has no length; nothing to render", scene);
    if (rc == RAY_NOVIEW)
        return fail("%s: the look direction (%g, %g, %g) has no length KORU can divide by; "
                    "nothing to render", scene, sc.vpnax, sc.vpnay, sc.vpnaz);
    if (rc == RAY_TOODEEP)
        return fail("%s: reflections nest deeper than KORU can trace (depth %d); nothing written",
                    scene, sc.ilvlmx);
    const frame &f = job.view();
    if (f.width <= 0 || f.h <= 0)
        return fail("%s: the picture size %d x %d has no dots; nothing to render", scene,
                    f.width, f.h);

    msglist msgs;
    if (!bmp.save(msgs))
        return fail("%s", msgs.first("cannot write the picture"));
    return 0;
}

} // namespace

int cmd_render(int argc, char **argv)
{
    const char *files[2] = {nullptr, nullptr};
    int nfiles = 0, w = -1, h = -1, threads = 0;
    bool stereo = false, plain = false, stats = false;
    for (int i = 0; i < argc; i++) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--stereo")) {
            stereo = true;
        } else if (!std::strcmp(a, "--plain")) {
            plain = true;
        } else if (!std::strcmp(a, "--stats")) {
            stats = true;
        } else if (!std::strcmp(a, "--size")) {
            if (i + 2 >= argc || !parse_uint(argv[i + 1], w) || !parse_uint(argv[i + 2], h))
                return usage_error(render_help, "--size needs two whole numbers W H");
            i += 2;
        } else if (!std::strcmp(a, "--threads")) {
            if (i + 1 >= argc || !parse_uint(argv[i + 1], threads) || threads < 1)
                return usage_error(render_help, "--threads needs a number of 1 or more");
            i++;
        } else if (a[0] == '-' && a[1]) {
            return usage_error(render_help, "unknown option \"%s\"", a);
        } else if (nfiles < 2) {
            files[nfiles++] = a;
        } else {
            return usage_error(render_help, "too many arguments");
        }
    }
    if (nfiles < 2)
        return usage_error(render_help, "render needs a scene file and an output file");
    const char *scene_file = files[0], *out = files[1];

    static scene sc; // 35 KB: out of the stack
    if (!load_scene(sc, scene_file))
        return 1;
    if (w >= 0) {
        sc.ixmx = w;
        sc.iymx = h;
    }

    const bool tty = isatty(2);
    static bmp_out bmp;
    render_options opt;
    opt.stereo = stereo ? 1 : 0;
    opt.threads = threads;
    opt.plain = plain;
    opt.keep = false;
    opt.cancel = &interrupted;
    opt.on_row = [](int y, int width, int height, const unsigned char *r,
                    const unsigned char *g, const unsigned char *b) {
        bmp.row(y, width, height, r, g, b);
    };
    render_job job(sc, opt);
    frame f;
    if (make_frame(sc, opt.stereo, f) && f.width > 0 && f.h > 0)
        bmp.begin(out, f.width, f.h);

    interrupted = false;
    struct sigaction sa = {}, old = {};
    sa.sa_handler = on_sigint;
    sigaction(SIGINT, &sa, &old);

    auto t0 = std::chrono::steady_clock::now();
    // the progress bar is drawn beside the render, which runs here
    std::atomic<bool> finished{false};
    std::thread bar;
    if (tty)
        bar = std::thread([&] {
            while (!finished) {
                draw_bar(job.rows_done(), job.rows());
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
    int rc = job.run();
    finished = true;
    if (bar.joinable())
        bar.join();
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (tty)
        std::fputs("\r\033[K", stderr);

    // Ctrl-C stays caught until the picture is on disk: one that comes
    // while it is written lets the file be finished, never half-written.
    int status = finish(rc, job, bmp, scene_file);
    bmp.pieces.discard(); // a picture not saved leaves nothing behind
    sigaction(SIGINT, &old, nullptr);
    const frame &v = job.view();
    if (status == 0 && tty)
        std::fprintf(stderr, "koru-cli: %s: %d x %d dots in %.2f s\n", out, v.width, v.h, secs);
    if (status == 0 && stats)
        std::fprintf(stderr, "stats: %d x %d dots, %.3f ms, rays %lld, shadow rays %lld\n",
                     v.width, v.h, secs * 1e3, job.rays(), job.shadow_rays());
    if (status == 0 && interrupted) {
        std::fprintf(stderr, "koru-cli: %s: stopped after the picture was written in full\n", out);
        return 130;
    }
    return status;
}
