// koru-cli animate: key scenes, or one scene turned round, into an
// animated WebP or GIF, numbered pictures, or one frame's scene file.
#include "cli.h"

#include "../base/msg.h"
#include "../image/animfile.h"
#include "../image/safewrite.h"
#include "../scene/numin.h"
#include "../scene/rtwrite.h"
#include "../trace/anim.h"
#include "../trace/frame.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

const char *animate_help =
    "usage: koru-cli animate KEY.RT [KEY.RT...] OUT --frames N [--orbit DEG] [--fps F]\n"
    "                        [--frame K | --frames-from A --frames-to B]\n"
    "                        [--stereo | --anaglyph] [--aa N] [--size W H] [--threads N]\n"
    "                        [--plain]\n"
    "       koru-cli animate KEY.RT [KEY.RT...] --frames N --frame K [--orbit DEG]\n"
    "                        --scene-out FRAME.RT\n"
    "\n"
    "Renders N frames that move from each key scene to the next: frame k of N\n"
    "is t = k(K-1)/(N-1) of the way along K key scenes, and every number of the\n"
    "files becomes a + (b - a)u between the two keys it falls between (colours\n"
    "and npow rounded to whole numbers). Key scenes must have the same structure:\n"
    "the same numbers of lights and primitives, types, surfaces, patterns,\n"
    "senses and groups, picture size and depth; the first difference is named\n"
    "with its FILE:LINE:COL in both files. OUT decides what is written:\n"
    "  NAME.webp     an animated lossless WebP, looping\n"
    "  NAME.gif      an animated GIF, looping: each frame the window's\n"
    "                256-colour display of its picture\n"
    "  frame_%04d.png (or .bmp)   one picture per frame, numbered by the field\n"
    "  any other name             one picture, for one frame\n"
    "  --frames N    the number of frames (1 or more)\n"
    "  --orbit DEG   frame k's eye turns DEG*k/N degrees about the vertical\n"
    "                through the look point (anticlockwise seen from above for\n"
    "                DEG > 0), as live view's orbit turns it: 360 makes a\n"
    "                turntable that loops without a repeated frame\n"
    "  --fps F       frames a second, 0.1 to 100 (default 24)\n"
    "  --frame K     frame K alone (0 to N-1); --frames-from A --frames-to B:\n"
    "                frames A to B; each exactly as in the whole run\n"
    "  --scene-out FRAME.RT   write frame K's scene instead of rendering it:\n"
    "                koru-cli render of that file, with the same options, makes\n"
    "                frame K's picture byte for byte\n"
    "The picture options are render's (koru-cli render --help). Frames are\n"
    "written as they are finished. Ctrl-C, SIGTERM or SIGHUP stops: no WebP or\n"
    "GIF file is written then, numbered pictures already finished stay, and the\n"
    "status is 128 + the signal's number.\n";

namespace {

struct animate_args {
    std::vector<const char *> keys;
    const char *out = nullptr, *scene_out = nullptr;
    int frames = -1, first = -1, last = -1;
    bool orbit = false;
    double orbit_deg = 0, fps = FPS_DEFAULT;
    anim_options opt;
};

// Parses argv into a; 0, or the status of a usage error.
int parse_args(int argc, char **argv, animate_args &a)
{
    render_options &r = a.opt.render;
    std::vector<const char *> files;
    bool stereo = false, anaglyph = false;
    for (int i = 0; i < argc; i++) {
        const char *s = argv[i], *next = i + 1 < argc ? argv[i + 1] : nullptr;
        // the option's number, taken when there is one
        auto whole = [&](int &v, int lo) {
            return next && parse_uint(next, v) && v >= lo && (++i, true);
        };
        auto real = [&](double &v) { return next && parse_real(next, v) && (++i, true); };
        auto is = [s](const char *o) { return !std::strcmp(s, o); };
        if (is("--frames") || is("--frame") || is("--frames-from") || is("--frames-to")) {
            int &v = is("--frames") ? a.frames : is("--frames-to") ? a.last : a.first;
            const int lo = is("--frames") ? 1 : 0;
            if (!whole(v, lo))
                return usage_error(animate_help, "%s needs a whole number of %d or more", s, lo);
            if (is("--frame"))
                a.last = a.first;
        } else if (is("--orbit")) {
            if (!real(a.orbit_deg))
                return usage_error(animate_help, "--orbit needs an angle in degrees");
            a.orbit = true;
        } else if (is("--fps")) {
            if (!real(a.fps) || !(a.fps >= FPS_MIN && a.fps <= FPS_MAX))
                return usage_error(animate_help, "--fps needs a number from %g to %g", FPS_MIN,
                                   FPS_MAX);
        } else if (is("--scene-out")) {
            if (!next)
                return usage_error(animate_help, "--scene-out needs a file name");
            a.scene_out = argv[++i];
        } else if (is("--size")) {
            if (i + 2 >= argc || !parse_uint(argv[i + 1], a.opt.w) ||
                !parse_uint(argv[i + 2], a.opt.h))
                return usage_error(animate_help, "--size needs two whole numbers W H");
            i += 2;
        } else if (is("--threads")) {
            if (!whole(r.threads, 1))
                return usage_error(animate_help, "--threads needs a number of 1 or more");
        } else if (is("--aa")) {
            if (!whole(r.aa, 1) || r.aa > AA_MAX)
                return usage_error(animate_help, "--aa needs a whole number from 1 to %d", AA_MAX);
        } else if (is("--stereo") || is("--anaglyph") || is("--plain")) {
            (is("--stereo") ? stereo : is("--anaglyph") ? anaglyph : r.plain) = true;
        } else if (s[0] == '-' && s[1]) {
            return usage_error(animate_help, "unknown option \"%s\"", s);
        } else {
            files.push_back(s);
        }
    }
    if (stereo && anaglyph)
        return usage_error(animate_help, "--stereo and --anaglyph are two kinds of picture; "
                                         "choose one");
    r.stereo = stereo ? 1 : 0;
    r.anaglyph = anaglyph;
    if (!a.scene_out && !files.empty()) {
        a.out = files.back();
        files.pop_back();
    }
    a.keys = files;
    return 0;
}

// The checks that need every argument: 0, or the status of a usage error.
int check_args(animate_args &a)
{
    if (a.keys.empty())
        return usage_error(animate_help, a.scene_out ? "animate needs a key scene"
                                                     : "animate needs a key scene and OUT");
    if (a.frames < 0)
        return usage_error(animate_help, "animate needs --frames N");
    if (a.first < 0)
        a.first = 0;
    if (a.last < 0)
        a.last = a.frames - 1;
    if (a.first > a.last || a.last >= a.frames)
        return usage_error(animate_help, "the frames asked for are not within 0 to %d",
                           a.frames - 1);
    if (a.scene_out && a.first != a.last)
        return usage_error(animate_help, "--scene-out writes one frame's scene: give --frame K");
    if (a.scene_out)
        return 0;
    const int kind = anim_kind(a.out);
    if (kind == ANIM_BADNAME)
        return usage_error(animate_help,
                           "\"%s\": a %% in OUT must begin one frame field such as %%04d "
                           "(numbered pictures are .png or .bmp), or be written %%%%",
                           a.out);
    if (kind == ANIM_SINGLE && a.first != a.last)
        return usage_error(animate_help,
                           "\"%s\" names one picture: for %d frames name them with a field "
                           "(frame_%%04d.png), or make a .webp or .gif",
                           a.out, a.last - a.first + 1);
    return 0;
}

// FILE:LINE:COL, or FILE where there is no place.
std::string where(const char *file, const place &p)
{
    std::string s = file;
    if (p.line > 0)
        s += ":" + std::to_string(p.line) + ":" + std::to_string(p.col);
    return s;
}

// Reads the key scenes, each with its map, and checks that they mix.
bool load_keys(const std::vector<const char *> &files, std::vector<std::unique_ptr<keyscene>> &keys)
{
    for (const char *f : files) {
        keys.push_back(std::make_unique<keyscene>());
        if (!load_scene(keys.back()->sc, f, &keys.back()->map))
            return false;
    }
    for (size_t i = 1; i < keys.size(); i++) {
        keydiff d;
        if (!key_differs(*keys[0], *keys[i], d))
            continue;
        fail("%s: %s is %s, but %s at %s; key scenes must have the same structure",
             where(files[0], d.at_a).c_str(), d.what.c_str(), d.a.c_str(), d.b.c_str(),
             where(files[i], d.at_b).c_str());
        return false;
    }
    return true;
}

int write_scene(const anim_plan &plan, const animate_args &a)
{
    static scene sc; // out of the stack
    static vec axes[PRIM_MAX];
    anim_scene(plan, a.first, sc, axes);
    std::string text;
    msglist msgs;
    stop_signals catching;
    if (!rt_text(sc, text, msgs, axes))
        return fail("frame %d: %s", a.first, msgs.first("cannot write the scene"));
    if (stop_requested) {
        std::fprintf(stderr, "koru-cli: %s: stopped; nothing written\n", a.scene_out);
        return stopped_status();
    }
    if (!write_file_safely(a.scene_out, (const unsigned char *)text.data(), text.size(), msgs))
        return fail("%s", msgs.first("cannot write the scene"));
    print_warnings(a.scene_out, msgs);
    return stop_requested ? stopped_status() : 0;
}

// Whether the frames asked for fit OUT, at the size they are rendered
// at: said before the first frame is traced.
bool frames_fit(const keyscene &key, const animate_args &a)
{
    static scene sc; // out of the stack
    sc = key.sc;
    if (a.opt.w >= 0)
        sc.ixmx = a.opt.w, sc.iymx = a.opt.h;
    frame f;
    msglist msgs;
    if (!make_frame(sc, a.opt.render.stereo, f, a.opt.render.anaglyph) || f.width < 1 || f.h < 1 ||
        anim_fits(a.out, a.last - a.first + 1, f.width, f.h, msgs))
        return true; // a frame that cannot be traced is said when it is
    fail("%s", msgs.first());
    return false;
}

void draw_progress(const anim_job &job)
{
    const int n = job.last() - job.first() + 1;
    draw_bar((int)(job.progress() * BAR_WIDTH), "frame %d/%d", std::min(job.frames_done() + 1, n),
             n);
}

// Runs the job with a progress bar on a terminal; the status of the run.
int render_frames(anim_job &job, const animate_args &a)
{
    anim_writer out(a.out, a.fps);
    msglist msgs;
    int bad_w = 0, bad_h = 0;
    const bool tty = isatty(2);
    const auto t0 = std::chrono::steady_clock::now();
    auto frames = [&] {
        return job.run([&](int k, const render_job &r) {
            const frame &f = r.view();
            if (f.width <= 0 || f.h <= 0) {
                bad_w = f.width, bad_h = f.h;
                return false;
            }
            return out.add(k, r.result(), msgs) == 1;
        });
    };
    const auto draw = [&] { draw_progress(job); };
    const int rc = run_with_bar(tty, draw, frames);

    const int k = job.frame();
    if (rc == RAY_CANCELLED || stop_requested) {
        std::fprintf(stderr, "koru-cli: %s: stopped at frame %d; %s\n", a.out, k,
                     out.kind() == ANIM_NUMBERED && job.frames_done()
                         ? "the frames before it are written"
                         : "nothing written");
        return stopped_status();
    }
    if (rc == RAY_NOVIEW || rc == RAY_TOODEEP)
        return fail("frame %d: %s; it is not written", k,
                    ray_status_text(rc, job.frame_scene()).c_str());
    if (rc == ANIM_REFUSED && bad_w + bad_h == 0)
        return fail("frame %d: %s", k, msgs.first("cannot write the frame"));
    if (rc == ANIM_REFUSED)
        return fail("frame %d: the picture size %d x %d has no dots; nothing to render", k, bad_w,
                    bad_h);
    if (!out.finish(msgs))
        return fail("%s", msgs.first("cannot write the animation"));
    const double secs =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (tty)
        std::fprintf(stderr, "koru-cli: %s: %d frames in %.2f s\n", a.out, job.frames_done(), secs);
    if (stop_requested) {
        std::fprintf(stderr, "koru-cli: %s: stopped after it was written in full\n", a.out);
        return stopped_status();
    }
    return 0;
}

} // namespace

bool parse_real(const char *s, double &v)
{
    char *end;
    const double d = c_strtod(s, &end);
    if (end == s || *end || !std::isfinite(d))
        return false;
    v = d;
    return true;
}

int cmd_animate(int argc, char **argv)
{
    static animate_args a; // holds the render options
    int rc = parse_args(argc, argv, a);
    if (rc || (rc = check_args(a)))
        return rc;

    std::vector<std::unique_ptr<keyscene>> keys;
    if (!load_keys(a.keys, keys))
        return 1;
    anim_plan plan;
    for (auto &k : keys)
        plan.keys.push_back(k.get());
    plan.frames = a.frames;
    plan.orbit = a.orbit;
    plan.orbit_deg = a.orbit_deg;
    if (a.scene_out)
        return write_scene(plan, a);

    // Signals stay caught until the last file is on disk
    stop_signals catching;
    a.opt.render.cancel = &stop_requested;
    a.opt.first = a.first;
    a.opt.last = a.last;
    if (!frames_fit(*keys[0], a))
        return 1;
    const auto job = std::make_unique<anim_job>(plan, a.opt); // a scene inside: out of the stack
    return render_frames(*job, a);
}
