// encode_input (harness.h): the bytes as pictures for KORU's own lossless
// WebP encoder, a still one and the frames of an animation, each decoded
// again by libwebp.
#include "check.h"
#include "harness.h"

#include "../base/msg.h"
#include "../image/animfile.h"
#include "../image/vp8l.h"
#include "../image/webp.h"

#include <webp/decode.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int SIDE = 64;          // the largest side: small pictures, many inputs a second
constexpr int CACHE_CHOICES = 12; // no colour cache, or one of 2^1 ... 2^11 entries
constexpr double FPS = 24;

// A w x h picture of the input's bytes, three a dot from byte at on, over
// and over.
picture dots_of(const uint8_t *data, size_t n, int w, int h, size_t at)
{
    picture p;
    p.resize(w, h);
    for (size_t i = 0; i < (size_t)w * h; i++, at += 3) {
        p.r[i] = data[at % n];
        p.g[i] = data[(at + 1) % n];
        p.b[i] = data[(at + 2) % n];
    }
    return p;
}

bool same(const picture &a, const picture &b)
{
    return a.w == b.w && a.h == b.h && a.r == b.r && a.g == b.g && a.b == b.b;
}

void encode_still(const picture &p, uint8_t how)
{
    vp8l_options opt;
    opt.choose = how & 1;
    opt.cache_bits = (how >> 1) % CACHE_CHOICES;
    std::vector<uint32_t> argb(p.r.size());
    for (size_t i = 0; i < argb.size(); i++)
        argb[i] = 0xff000000u | (uint32_t)p.r[i] << 16 | (uint32_t)p.g[i] << 8 | p.b[i];
    std::vector<uint8_t> file;
    vp8l_encoder(opt).encode(argb.data(), p.w, p.w, p.h, file);
    int w = 0, h = 0;
    uint8_t *back = WebPDecodeRGBA(file.data(), file.size(), &w, &h);
    CHECK(back && w == p.w && h == p.h);
    for (size_t i = 0; i < argb.size(); i++)
        CHECK(back[4 * i] == p.r[i] && back[4 * i + 1] == p.g[i] && back[4 * i + 2] == p.b[i] &&
              back[4 * i + 3] == 0xff);
    WebPFree(back);
}

// a, then b (a with a part of other dots), then b again: the file shows a
// and then b, b lasting two frames (or a still picture when b is a).
void encode_frames(const picture &a, const picture &b, int effort)
{
    webp_anim out(FPS, effort);
    msglist msgs;
    CHECK(out.add(a, msgs) && out.add(b, msgs) && out.add(b, msgs));
    const char *path = input_file("out.webp", nullptr, 0);
    CHECK(out.finish(path, msgs) == 1);
    anim_reader in;
    CHECK(in.open(path, FPS, msgs));
    picture pic;
    int end = 0;
    CHECK(in.next(pic, end, msgs) && same(pic, a));
    // one picture all along is stored as a still picture, without times
    if (!same(a, b))
        CHECK(in.next(pic, end, msgs) && same(pic, b) && end == (int)anim_ms(3, FPS));
    CHECK(!in.next(pic, end, msgs));
    CHECK(msgs.empty());
}

} // namespace

void encode_input(const uint8_t *data, size_t n)
{
    if (n < 4)
        return;
    const int w = 1 + data[0] % SIDE, h = 1 + data[1] % SIDE;
    const picture a = dots_of(data, n, w, h, 4);
    encode_still(a, data[2]);
    // b: a with the rectangle the next bytes give from other dots
    picture b = a;
    const picture other = dots_of(data, n, w, h, 5);
    const int x0 = data[3] % w, y0 = data[n / 2] % h;
    const int x1 = x0 + 1 + data[n - 1] % (w - x0), y1 = y0 + 1 + data[n - 2] % (h - y0);
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            const size_t i = (size_t)y * w + x;
            b.r[i] = other.r[i], b.g[i] = other.g[i], b.b[i] = other.b[i];
        }
    encode_frames(a, b, data[2] & 1 ? EFFORT_NORMAL : EFFORT_FAST);
}
