// Animated WebP files at the fast efforts, made by KORU's own lossless
// encoder: every picture, whatever its size and content, reads back dot
// for dot, and a frame stores only what changed.
#include "base/msg.h"
#include "child.h"
#include "image/vp8lhuff.h"
#include "image/webp.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using dot_fn = std::function<void(int x, int y, std::mt19937 &g, unsigned char *rgb)>;

picture make(int w, int h, const dot_fn &dot, unsigned seed = 1)
{
    std::mt19937 g(seed);
    picture p;
    p.resize(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            unsigned char c[3];
            dot(x, y, g, c);
            const size_t i = (size_t)y * w + x;
            p.r[i] = c[0], p.g[i] = c[1], p.b[i] = c[2];
        }
    return p;
}

bool same(const picture &a, const picture &b)
{
    return a.w == b.w && a.h == b.h && a.r == b.r && a.g == b.g && a.b == b.b;
}

// The frames of path, each with the time it ends.
std::vector<std::pair<picture, int>> read_back(const std::string &path)
{
    webp_frames in;
    msglist m;
    EXPECT_EQ(in.open(path.c_str(), m), 1) << m.first();
    std::vector<std::pair<picture, int>> frames;
    picture p;
    int end;
    while (in.next(p, end, m))
        frames.emplace_back(p, end);
    EXPECT_TRUE(m.empty()) << m.first();
    return frames;
}

void write(const std::string &path, const std::vector<picture> &pics, int effort)
{
    webp_anim out(10, effort);
    msglist m;
    for (const picture &p : pics)
        ASSERT_EQ(out.add(p, m), 1) << m.first();
    ASSERT_EQ(out.finish(path.c_str(), m), 1) << m.first();
}

void flat(int, int, std::mt19937 &, unsigned char *c) { c[0] = 200, c[1] = 10, c[2] = 77; }
void noise(int, int, std::mt19937 &g, unsigned char *c)
{
    for (int k = 0; k < 3; k++)
        c[k] = (unsigned char)g();
}
// a shaded ball on a flat ground: runs, smooth slopes and edges
void shaded(int x, int y, std::mt19937 &g, unsigned char *c)
{
    const int dx = x - 40, dy = y - 30, d = dx * dx + dy * dy;
    const int v = d < 600 ? 255 - d / 3 : 30 + (y & 8) * 4;
    c[0] = (unsigned char)v, c[1] = (unsigned char)(v / 2 + (g() & 3)), c[2] = (unsigned char)x;
}
// few colours, scattered: the colour cache's and the codes' edges
void speckled(int, int, std::mt19937 &g, unsigned char *c)
{
    const unsigned v = g() % 7;
    c[0] = (unsigned char)(v * 40), c[1] = (unsigned char)(255 - v * 30), c[2] = (unsigned char)v;
}

TEST(WebpOwn, EveryPictureReadsBackDotForDot)
{
    struct {
        const char *name;
        int w, h;
        dot_fn dot;
    } cases[] = {
        {"1x1", 1, 1, noise},
        {"flat", 33, 17, flat},
        {"noise", 61, 45, noise},
        {"shaded", 80, 60, shaded},
        {"speckled", 71, 39, speckled},
        {"wide", 1024, 2, shaded},
        {"tall", 1, 768, noise},
        {"odd", 3, 5, shaded},
        // longer than the longest copy, and than the distance codes' table
        {"large flat", 1024, 768, flat},
    };
    temp_dir dir;
    for (int effort : {EFFORT_FAST, EFFORT_NORMAL})
        for (const auto &c : cases) {
            const picture p = make(c.w, c.h, c.dot);
            const std::string path = dir / "a.webp";
            write(path, {p}, effort);
            const auto frames = read_back(path);
            ASSERT_EQ(frames.size(), 1u) << c.name;
            EXPECT_TRUE(same(frames[0].first, p)) << c.name << ", effort " << effort;
        }
}

TEST(WebpOwn, AFrameStoresWhatChangedAndAnUnchangedOneLastsLonger)
{
    const picture a = make(50, 40, shaded), b = make(50, 40, noise);
    picture part = a; // a few dots at an odd column and row
    for (int y = 7; y < 10; y++)
        for (int x = 13; x < 16; x++)
            part.r[(size_t)y * 50 + x] ^= 0x55;
    temp_dir dir;
    for (int effort : {EFFORT_FAST, EFFORT_NORMAL}) {
        write(dir / "a.webp", {a, a, part, b, b}, effort);
        const auto frames = read_back(dir / "a.webp");
        ASSERT_EQ(frames.size(), 3u);
        const picture *want[] = {&a, &part, &b};
        const int ends[] = {200, 300, 500}; // ms at 10 frames a second
        for (int k = 0; k < 3; k++) {
            EXPECT_TRUE(same(frames[k].first, *want[k])) << "frame " << k << ", effort " << effort;
            EXPECT_EQ(frames[k].second, ends[k]);
        }
    }
}

// Counts that would make a Huffman code deeper than 15 bits (a Fibonacci
// run) get a complete code within 15.
TEST(WebpOwn, CodesAreCompleteAndNoLongerThanFifteenBits)
{
    std::vector<uint32_t> counts(40, 0);
    uint32_t a = 1, b = 1;
    for (int s = 0; s < 30; s++, b = a + b, a = b - a)
        counts[s] = a;
    prefix_code c;
    c.build(counts.data(), (int)counts.size());
    double kraft = 0;
    for (int s = 0; s < 40; s++) {
        EXPECT_LE(c.len[s], 15);
        EXPECT_EQ(c.len[s] > 0, counts[s] > 0);
        kraft += c.len[s] ? 1.0 / (1 << c.len[s]) : 0;
    }
    EXPECT_EQ(kraft, 1.0);
}

} // namespace
