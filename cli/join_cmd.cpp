// koru-cli join: numbered pictures, made by any number of processes, into
// one animated WebP or GIF.
#include "cli.h"

#include "../base/msg.h"
#include "../image/animfile.h"
#include "../image/effort.h"
#include "../image/picfile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

const char *const join_help =
    "usage: koru-cli join 'frame_%04d.png' OUT.webp|OUT.gif [--fps F] [--frames N]\n"
    "                     [--effort fast|normal|small]\n"
    "\n"
    "Assembles the numbered pictures (PNG or BMP) that the name's frame field\n"
    "gives, lowest number first, into an animated WebP or GIF, exactly as\n"
    "koru-cli animate makes it from the same frames. The numbers must follow\n"
    "each other without a gap, and every picture must have the first one's size.\n"
    "  --fps F      frames a second, 0.1 to 100 (default 24)\n"
    "  --frames N   the frames must be 0 to N-1, all of them\n"
    "  --effort E   the WebP file's, as animate's (default normal): the same\n"
    "               effort makes the same file\n"
    "Pictures are read one at a time. Ctrl-C, SIGTERM or SIGHUP stops with\n"
    "nothing written (status 128 + the signal's number).\n";

namespace {

std::string name_of(const char *pattern, long long k)
{
    std::string s;
    frame_name(pattern, k, s);
    return s;
}

// The frames to join: nums without a gap (and 0..frames-1 when frames >=
// 0); false with one line on stderr.
bool check_numbers(const char *in, const std::vector<long long> &nums, int frames)
{
    if (nums.empty()) {
        fail("no file is named as \"%s\" says; nothing written", in);
        return false;
    }
    const long long first = frames >= 0 ? 0 : nums[0];
    long long want = first;
    for (long long k : nums) {
        if (k != want)
            break;
        want++;
    }
    const long long last = frames >= 0 ? frames - 1 : nums.back();
    if (want <= last) {
        if (want == first)
            fail("%s is missing: the frames begin at %s; nothing written",
                 name_of(in, want).c_str(), name_of(in, nums[0]).c_str());
        else
            fail("%s is missing, after %s; nothing written", name_of(in, want).c_str(),
                 name_of(in, want - 1).c_str());
        return false;
    }
    if (frames >= 0 && nums.back() > last) {
        fail("%s is there, beyond the %d frames asked for; nothing written",
             name_of(in, last + 1).c_str(), frames);
        return false;
    }
    return true;
}

struct join_args {
    const char *in = nullptr, *out = nullptr;
    int frames = -1, effort = EFFORT_NORMAL;
    double fps = FPS_DEFAULT;
};

// Parses argv into a; 0, or the status of a usage error.
int parse_join(int argc, char **argv, join_args &a)
{
    const char *files[2] = {nullptr, nullptr};
    int nfiles = 0;
    for (int i = 0; i < argc; i++) {
        const char *s = argv[i];
        if (!std::strcmp(s, "--fps")) {
            if (i + 1 >= argc || !parse_real(argv[i + 1], a.fps) || !(a.fps >= FPS_MIN) ||
                !(a.fps <= FPS_MAX))
                return usage_error(join_help, "--fps needs a number from %g to %g", FPS_MIN,
                                   FPS_MAX);
            i++;
        } else if (!std::strcmp(s, "--frames")) {
            if (i + 1 >= argc || !parse_uint(argv[i + 1], a.frames) || a.frames < 1)
                return usage_error(join_help, "--frames needs a whole number of 1 or more");
            i++;
        } else if (!std::strcmp(s, "--effort")) {
            if (i + 1 >= argc || (a.effort = effort_named(argv[i + 1])) < 0)
                return usage_error(join_help, "--effort needs fast, normal or small");
            i++;
        } else if (s[0] == '-' && s[1]) {
            return usage_error(join_help, "unknown option \"%s\"", s);
        } else if (nfiles < 2) {
            files[nfiles++] = s;
        } else {
            return usage_error(join_help, "too many arguments");
        }
    }
    if (nfiles < 2)
        return usage_error(join_help, "join needs the numbered pictures' name and OUT");
    a.in = files[0], a.out = files[1];
    if (anim_kind(a.in) != ANIM_NUMBERED)
        return usage_error(join_help, "\"%s\" has no frame field such as %%04d", a.in);
    if (anim_kind(a.out) != ANIM_WEBP && anim_kind(a.out) != ANIM_GIF)
        return usage_error(join_help, "OUT is a .webp or a .gif file");
    return 0;
}

// Reads the frames nums one at a time into the animation; 0, 1 with one
// line on stderr, or the status of a stop.
int join_frames(const join_args &a, const std::vector<long long> &nums)
{
    anim_writer writer(a.out, a.fps, a.effort);
    const auto pl = std::make_unique<planes>(); // 2.3 MB: out of the stack
    picture pic;
    msglist msgs;
    int w0 = 0, h0 = 0;
    for (long long k : nums) {
        if (stop_requested) {
            std::fprintf(stderr, "koru-cli: %s: stopped; nothing written\n", a.out);
            return stopped_status();
        }
        const std::string file = name_of(a.in, k);
        int w, h;
        msgs.clear();
        if (load_picture(file.c_str(), *pl, w, h, msgs) != RGB_LOADED)
            return fail("%s; nothing written", msgs.first("cannot read a frame"));
        print_warnings(file.c_str(), msgs);
        if (k == nums[0]) {
            w0 = w, h0 = h;
            if (!anim_fits(a.out, (long long)nums.size(), w, h, msgs))
                return fail("%s; nothing written", msgs.first());
        }
        if (w != w0 || h != h0)
            return fail("%s is %d x %d dots, but %s %d x %d; the frames of an animation have one "
                        "size; nothing written",
                        file.c_str(), w, h, name_of(a.in, nums[0]).c_str(), w0, h0);
        from_planes(*pl, w, h, pic);
        msgs.clear();
        if (!writer.add(k, pic, msgs))
            return fail("%s; nothing written", msgs.first("cannot add a frame"));
    }
    msgs.clear();
    if (!writer.finish(msgs))
        return fail("%s", msgs.first("cannot write the animation"));
    return 0;
}

} // namespace

int cmd_join(int argc, char **argv)
{
    join_args a;
    if (const int rc = parse_join(argc, argv, a))
        return rc;
    stop_signals catching;
    msglist msgs;
    std::vector<long long> nums;
    if (!frame_numbers(a.in, nums, msgs))
        return fail("%s", msgs.first());
    if (!check_numbers(a.in, nums, a.frames))
        return 1;
    if (const int rc = join_frames(a, nums))
        return rc;
    if (stop_requested) {
        std::fprintf(stderr, "koru-cli: %s: stopped after it was written in full\n", a.out);
        return stopped_status();
    }
    return 0;
}
