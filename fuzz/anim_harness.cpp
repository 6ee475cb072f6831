// anim_input (harness.h): the bytes as an animated WebP and GIF file.
#include "check.h"
#include "harness.h"

#include "../base/msg.h"
#include "../base/sizes.h"
#include "../image/animfile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr double FPS = 24;

// What one pass over the frames gave: each frame's hash and end, and the
// line, if any, that ended it.
struct pass {
    std::vector<uint64_t> hashes;
    std::vector<int> ends;
    std::string last;
    bool operator==(const pass &o) const
    {
        return hashes == o.hashes && ends == o.ends && last == o.last;
    }
};

uint64_t hash_of(const picture &pic)
{
    uint64_t h = 1469598103934665603ULL; // FNV-1a
    for (const std::vector<unsigned char> *plane : {&pic.r, &pic.g, &pic.b})
        for (unsigned char c : *plane)
            h = (h ^ c) * 1099511628211ULL;
    return h;
}

pass play(anim_reader &in, int w, int h)
{
    pass p;
    static picture pic; // its room kept from frame to frame
    msglist msgs;
    int end = 0, before = 0;
    while (in.next(pic, end, msgs)) {
        CHECK(msgs.empty());
        CHECK(pic.w == w && pic.h == h);
        CHECK(pic.r.size() == (size_t)w * h && pic.g.size() == pic.r.size() &&
              pic.b.size() == pic.r.size());
        CHECK(end >= before);
        before = end;
        p.hashes.push_back(hash_of(pic));
        p.ends.push_back(end);
    }
    CHECK(msgs.lines.size() <= 1);
    p.last = msgs.first();
    return p;
}

void read_anim(const char *path)
{
    anim_reader in;
    msglist msgs;
    if (!in.open(path, FPS, msgs)) {
        CHECK(msgs.lines.size() == 1);
        return;
    }
    CHECK(msgs.empty());
    const int w = in.width(), h = in.height();
    CHECK(w >= 1 && w <= WIDTH_MAX && h >= 1 && h <= HEIGHT_MAX);
    const pass first = play(in, w, h);
    CHECK(in.loops() >= -1);
    CHECK(first.hashes.size() <= (size_t)ANIM_FRAMES_MAX &&
          (long long)first.hashes.size() * w * h <= ANIM_DOTS_MAX);
    CHECK(in.rewind(msgs) && msgs.empty());
    CHECK(play(in, w, h) == first);
}

} // namespace

void anim_input(const uint8_t *data, size_t n)
{
    read_anim(input_file("in.webp", data, n));
    read_anim(input_file("in.gif", data, n));
}
