// koru-cli join: numbered pictures, made by any number of processes, into
// one animated WebP or GIF.
#include "cli.h"

#include "../base/msg.h"
#include "../image/animfile.h"
#include "../image/picfile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

const char *join_help =
    "usage: koru-cli join 'frame_%04d.png' OUT.webp|OUT.gif [--fps F] [--frames N]\n"
    "\n"
    "Assembles the numbered pictures (PNG or BMP) that the name's frame field\n"
    "gives, lowest number first, into an animated WebP or GIF, exactly as\n"
    "koru-cli animate makes it from the same frames. The numbers must follow\n"
    "each other without a gap, and every picture must have the first one's size.\n"
    "  --fps F      frames a second, 0.1 to 100 (default 24)\n"
    "  --frames N   the frames must be 0 to N-1, all of them\n"
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

} // namespace

int cmd_join(int argc, char **argv)
{
    const char *files[2] = {nullptr, nullptr};
    int nfiles = 0, frames = -1;
    double fps = FPS_DEFAULT;
    for (int i = 0; i < argc; i++) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--fps")) {
            if (i + 1 >= argc || !parse_real(argv[i + 1], fps) || !(fps >= FPS_MIN) ||
                !(fps <= FPS_MAX))
                return usage_error(join_help, "--fps needs a number from %g to %g", FPS_MIN,
                                   FPS_MAX);
            i++;
        } else if (!std::strcmp(a, "--frames")) {
            if (i + 1 >= argc || !parse_uint(argv[i + 1], frames) || frames < 1)
                return usage_error(join_help, "--frames needs a whole number of 1 or more");
            i++;
        } else if (a[0] == '-' && a[1]) {
            return usage_error(join_help, "unknown option \"%s\"", a);
        } else if (nfiles < 2) {
            files[nfiles++] = a;
        } else {
            return usage_error(join_help, "too many arguments");
        }
    }
    if (nfiles < 2)
        return usage_error(join_help, "join needs the numbered pictures' name and OUT");
    const char *in = files[0], *out = files[1];
    if (anim_kind(in) != ANIM_NUMBERED)
        return usage_error(join_help, "\"%s\" has no frame field such as %%04d", in);
    if (anim_kind(out) != ANIM_WEBP && anim_kind(out) != ANIM_GIF)
        return usage_error(join_help, "OUT is a .webp or a .gif file");

    stop_signals catching;
    msglist msgs;
    std::vector<long long> nums;
    if (!frame_numbers(in, nums, msgs))
        return fail("%s", msgs.first());
    if (!check_numbers(in, nums, frames))
        return 1;

    anim_writer writer(out, fps);
    static planes pl; // 2.3 MB: out of the stack
    picture pic;
    int w0 = 0, h0 = 0;
    for (long long k : nums) {
        if (stop_requested) {
            std::fprintf(stderr, "koru-cli: %s: stopped; nothing written\n", out);
            return stopped_status();
        }
        const std::string file = name_of(in, k);
        int w, h;
        msgs.clear();
        if (load_picture(file.c_str(), pl, w, h, msgs) != RGB_LOADED)
            return fail("%s; nothing written", msgs.first("cannot read a frame"));
        print_warnings(file.c_str(), msgs);
        if (k == nums[0]) {
            w0 = w, h0 = h;
            if (!anim_fits(out, (long long)nums.size(), w, h, msgs))
                return fail("%s; nothing written", msgs.first());
        }
        if (w != w0 || h != h0)
            return fail("%s is %d x %d dots, but %s %d x %d; the frames of an animation have one "
                        "size; nothing written",
                        file.c_str(), w, h, name_of(in, nums[0]).c_str(), w0, h0);
        from_planes(pl, w, h, pic);
        msgs.clear();
        if (!writer.add(k, pic, msgs))
            return fail("%s; nothing written", msgs.first("cannot add a frame"));
    }
    msgs.clear();
    if (!writer.finish(msgs))
        return fail("%s", msgs.first("cannot write the animation"));
    if (stop_requested) {
        std::fprintf(stderr, "koru-cli: %s: stopped after it was written in full\n", out);
        return stopped_status();
    }
    return 0;
}
