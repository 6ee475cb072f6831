// Thumbnails: the scene's picture at a small size, within a budget of rays
// and a deadline.
#include "base/msg.h"
#include "scene/rtread.h"
#include "scene/templates.h"
#include "trace/render.h"
#include "trace/thumbnail.h"

#include <gtest/gtest.h>

namespace {

scene sample(const char *name)
{
    scene sc;
    msglist msgs;
    EXPECT_EQ(data_load(sc, (std::string(KORU_SOURCE_DIR) + "/" + name).c_str(), msgs), 1);
    return sc;
}

// sc's picture at w x h dots, as render_job makes it.
picture rendered(scene sc, int w, int h, int stereo)
{
    sc.ixmx = w, sc.iymx = h;
    render_options ro;
    ro.stereo = stereo;
    render_job job(sc, ro);
    EXPECT_EQ(job.run(), RAY_DONE);
    return job.result();
}

bool same(const picture &a, const picture &b)
{
    return a.w == b.w && a.h == b.h && a.r == b.r && a.g == b.g && a.b == b.b;
}

// The picture a render makes (clamped to 1024 x 768 first: 600 x 800 is
// drawn 600 x 768), its longer side the size, within 1024 x 768.
TEST(Thumbnail, KeepsTheScenesProportions)
{
    const struct {
        int ixmx, iymx, size, stereo, w, h;
    } cases[] = {
        {800, 600, 128, 0, 128, 96},  {1024, 384, 128, 1, 128, 48},  {300, 600, 128, 0, 64, 128},
        {5000, 100, 256, 0, 256, 25}, {600, 800, 1024, 0, 600, 768}, {800, 600, 1, 0, 1, 1},
        {800, 600, 1, 1, 2, 1},       {0, 0, 128, 0, 128, 96},       {-5, 7, 256, 0, 256, 192},
        {801, 600, 127, 1, 126, 95},  {300, 700, 1024, 0, 329, 768},
    };
    for (const auto &c : cases) {
        scene sc;
        sc.ixmx = c.ixmx, sc.iymx = c.iymx;
        thumb_options o;
        o.size = c.size, o.stereo = c.stereo;
        int w = 0, h = 0;
        thumb_size(sc, o, w, h);
        EXPECT_EQ(w, c.w) << c.ixmx << " x " << c.iymx << " at " << c.size;
        EXPECT_EQ(h, c.h) << c.ixmx << " x " << c.iymx << " at " << c.size;
    }
}

// Within its budget a thumbnail is the very picture a render of that size
// makes, a stereo pair too; only the depth is bounded.
TEST(Thumbnail, IsTheRenderAtItsSize)
{
    const scene room = sample("samples/room.RT");
    thumb_options o;
    o.size = 96;
    o.seconds = 0; // no deadline: the outcome must not hang on the machine's speed
    picture pic;
    std::string why;
    ASSERT_EQ(make_thumbnail(room, o, pic, why), THUMB_FULL) << why;
    EXPECT_TRUE(same(pic, rendered(room, 96, 72, 0)));

    // rays nest no deeper than THUMB_DEPTH: mirrors facing each other two
    // billion levels deep are drawn as at that depth
    scene deep = sample("tests/degenerate/mirror-room-deep.RT");
    ASSERT_GT(deep.ilvlmx, THUMB_DEPTH);
    ASSERT_EQ(make_thumbnail(deep, o, pic, why), THUMB_FULL) << why;
    deep.ilvlmx = THUMB_DEPTH;
    EXPECT_TRUE(same(pic, rendered(deep, pic.w, pic.h, 0)));

    scene pair;
    load_template(pair, *find_scene_template("stereo"));
    o.stereo = 1;
    ASSERT_EQ(make_thumbnail(pair, o, pic, why), THUMB_FULL) << why;
    EXPECT_EQ(pic.w, 96);
    EXPECT_EQ(pic.h, 36);
    EXPECT_TRUE(same(pic, rendered(pair, 96, 36, 1)));
}

// Beyond the budget of rays the picture is traced smaller and enlarged to
// the size asked; with no budget at all it is the probe, a block of dots
// for each dot traced.
TEST(Thumbnail, OverItsBudgetIsTracedSmallerAndEnlarged)
{
    const scene glass = sample("samples/glass.RT");
    thumb_options o;
    o.seconds = 0;
    picture full, pic;
    std::string why;
    ASSERT_EQ(make_thumbnail(glass, o, full, why), THUMB_FULL) << why;
    o.rays = 100000;
    ASSERT_EQ(make_thumbnail(glass, o, pic, why), THUMB_SMALL) << why;
    EXPECT_EQ(pic.w, 128);
    EXPECT_EQ(pic.h, 96);
    EXPECT_FALSE(same(pic, full));

    o.rays = 0;
    ASSERT_EQ(make_thumbnail(glass, o, pic, why), THUMB_SMALL) << why;
    const picture probe = rendered(glass, PROBE_SIDE, PROBE_SIDE * 3 / 4, 0);
    for (int y = 0; y < pic.h; y++)
        for (int x = 0; x < pic.w; x++) {
            const int at = y * pic.w + x, from = y / 4 * probe.w + x / 4;
            ASSERT_EQ(pic.g[at], probe.g[from]) << x << ", " << y;
        }
}

// A scene that never ends (glass slabs thirty levels deep: two billion rays
// a dot) is refused at the deadline; a caller's stop ends it too, and so
// does a scene that cannot be drawn at all.
TEST(Thumbnail, EndsAtTheDeadlineOrWhenStopped)
{
    const scene deep = sample("tests/scenes/glass-slabs-deep.RT");
    thumb_options o;
    o.seconds = 0.2;
    picture pic;
    std::string why;
    EXPECT_EQ(make_thumbnail(deep, o, pic, why), THUMB_NONE);
    EXPECT_EQ(why, "it takes too long to draw");

    std::atomic<bool> stop{true};
    o.seconds = 0;
    o.cancel = &stop;
    EXPECT_EQ(make_thumbnail(deep, o, pic, why), THUMB_NONE);
    EXPECT_EQ(why, "stopped");

    scene blind = sample("samples/room.RT");
    blind.vpnax = blind.vpnay = blind.vpnaz = 0;
    o.cancel = nullptr;
    EXPECT_EQ(make_thumbnail(blind, o, pic, why), THUMB_NONE);
    EXPECT_EQ(why, "the look direction (0, 0, 0) has no length");
}

} // namespace
