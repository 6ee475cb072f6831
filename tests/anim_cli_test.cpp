// koru-cli animate and join from end to end: every frame of an animation
// is koru-cli render of the scene --scene-out writes for it, a GIF frame
// the window's 256-colour display of that picture, a frame rendered alone
// the same as in the whole run, and frames joined the same file as one
// process makes.
#include "image/animfile.h"
#include "image/picfile.h"
#include "keymix.h"
#include "randscene.h"
#include "scene/keys.h"
#include "scene/rtwrite.h"
#include "testscene.h"
#include "child.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

// one frame of an animation
using frame_pic = struct picture;

struct AnimCli : ::testing::Test {
    temp_dir dir;
    std::string err;

    std::string path(const std::string &name) { return dir / name; }

    // Runs koru-cli with args in dir; the exit status, with stderr in err.
    int run(const std::vector<std::string> &args)
    {
        const child_result r = run_cli(args, dir.path);
        err = r.err;
        return r.status;
    }

    // Key scenes of one random structure, each with every number moved.
    void keys(unsigned seed, const std::vector<std::string> &names)
    {
        rng_t r(seed);
        scene sc;
        random_scene(sc, r, 1, 8, 2);
        look(sc, {0, 0, 0}, {0.3, -1, 0.6}, 12, 7, 40, 30, 2);
        filed_axes(sc);
        for (const std::string &name : names) {
            std::string text;
            msglist m;
            ASSERT_EQ(rt_text(sc, text, m), 1);
            spit(path(name), text);
            sc.rx += r.u(-1, 1), sc.vpnax += r.u(-0.3, 0.3), sc.wdu *= r.u(0.8, 1.2);
            for (int i = 0; i < sc.primmx; i++) {
                sc.pri[i].pos.y += r.u(-1, 1), sc.pri[i].kd = r.u(0, 1);
                sc.pri[i].col = colr{r.pick(256), r.pick(256), r.pick(256)};
            }
            sc.lig[0].bright = r.u(0.2, 1);
        }
    }

    std::unique_ptr<frame_pic> load(const std::string &name)
    {
        static planes pl;
        int w, h;
        msglist m;
        auto p = std::make_unique<frame_pic>();
        EXPECT_EQ(load_picture(path(name).c_str(), pl, w, h, m), RGB_LOADED) << name;
        p->resize(w, h);
        std::copy(pl.r, pl.r + w * h, p->r.begin());
        std::copy(pl.g, pl.g + w * h, p->g.begin());
        std::copy(pl.b, pl.b + w * h, p->b.begin());
        return p;
    }

    // The n frames of an animation file at fps as a player shows them: frame
    // k is what the file shows when frame k starts (a frame the encoder
    // merged into the one before it shows that one).
    std::vector<frame_pic> decode(const std::string &name, int n, double fps, int *loops = nullptr)
    {
        anim_reader in;
        msglist m;
        EXPECT_EQ(in.open(path(name).c_str(), fps, m), 1) << m.first();
        std::vector<frame_pic> frames;
        frame_pic pic;
        int end = 0;
        bool more = in.next(pic, end, m);
        for (int k = 0; k < n && more; k++) {
            while (more && end <= anim_ms(k, fps))
                more = in.next(pic, end, m);
            frames.push_back(pic);
        }
        EXPECT_FALSE(in.next(pic, end, m)) << name << ": more frames than " << n;
        EXPECT_TRUE(m.empty()) << m.first();
        if (loops)
            *loops = in.loops();
        return frames;
    }
};

bool same(const frame_pic &a, const frame_pic &b)
{
    return a.w == b.w && a.h == b.h && a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST_F(AnimCli, EveryFrameIsTheRenderOfTheSceneWrittenForIt)
{
    keys(71, {"a.RT", "b.RT", "c.RT"});
    const int n = 5;
    const std::vector<std::string> common = {"a.RT", "b.RT",      "c.RT", "--frames", "5",  "--fps",
                                             "10",   "--threads", "2",    "--size",   "36", "28"};
    // every effort keeps every dot
    const char *efforts[] = {"fast", "normal", "small"};
    for (const char *effort : efforts)
        for (std::string out : {"out-%s.webp", "f%d-%s.png"}) {
            out.replace(out.find("%s"), 2, effort);
            auto args = common;
            args.insert(args.begin() + 3, out);
            args.insert(args.begin(), "animate");
            args.insert(args.end(), {"--effort", effort});
            ASSERT_EQ(run(args), 0) << err;
        }
    auto args = common;
    args.insert(args.begin() + 3, "out.gif");
    args.insert(args.begin(), "animate");
    ASSERT_EQ(run(args), 0) << err;
    int loops = -1;
    std::vector<std::vector<frame_pic>> webp;
    for (const char *effort : efforts) {
        webp.push_back(decode(std::string("out-") + effort + ".webp", n, 10, &loops));
        EXPECT_EQ(loops, 0);
        ASSERT_EQ(webp.back().size(), (size_t)n);
    }
    const auto gif = decode("out.gif", n, 10, &loops);
    EXPECT_EQ(loops, 0);
    ASSERT_EQ(gif.size(), (size_t)n);
    // the efforts make files of other sizes
    EXPECT_LT(slurp(path("out-small.webp")).size(), slurp(path("out-fast.webp")).size());
    EXPECT_LT(slurp(path("f0-small.png")).size(), slurp(path("f0-fast.png")).size());
    for (int k = 0; k < n; k++) {
        const std::string K = std::to_string(k), frame_rt = "f" + K + ".RT";
        ASSERT_EQ(run({"animate", "a.RT", "b.RT", "c.RT", "--frames", "5", "--frame", K,
                       "--scene-out", frame_rt}),
                  0)
            << err;
        // the scene is the mix of the two keys frame k falls between
        const char *names[] = {"a.RT", "b.RT", "c.RT"};
        int seg;
        double u;
        key_place(k, n, 3, seg, u);
        static scene a;
        msglist m;
        data_load(a, path("a.RT").c_str(), m);
        expect_mixed_file(slurp(path(names[seg])), slurp(path(names[seg + 1])), u,
                          slurp(path(frame_rt)), a);
        ASSERT_EQ(run({"render", frame_rt, "r.png", "--size", "36", "28"}), 0) << err;
        ASSERT_EQ(run({"display", "r.png", "d.png", "--mode", "1"}), 0) << err;
        const auto want = load("r.png");
        for (int e = 0; e < 3; e++) {
            EXPECT_TRUE(same(webp[e][k], *want)) << "WebP frame " << k << ", " << efforts[e];
            EXPECT_TRUE(same(*load("f" + K + "-" + efforts[e] + ".png"), *want))
                << "PNG frame " << k << ", " << efforts[e];
        }
        EXPECT_TRUE(same(gif[k], *load("d.png"))) << "GIF frame " << k;
    }
}

TEST_F(AnimCli, FramesAloneAndJoinedAreThoseOfTheWholeRun)
{
    keys(5, {"turn.RT"});
    const std::vector<std::string> run_args = {
        "animate", "turn.RT", "--frames", "6", "--orbit", "90", "--size", "32", "24", "--aa", "2"};
    auto with = [&](std::vector<std::string> more) {
        auto a = run_args;
        a.insert(a.end(), more.begin(), more.end());
        return run(a);
    };
    ASSERT_EQ(with({"f_%02d.png"}), 0) << err;
    ASSERT_EQ(with({"one.webp", "--fps", "12"}), 0) << err;
    ASSERT_EQ(with({"one.gif", "--fps", "12"}), 0) << err;
    ASSERT_EQ(with({"small.webp", "--fps", "12", "--effort", "small"}), 0) << err;
    ASSERT_EQ(with({"g_%02d.png", "--frame", "4"}), 0) << err;
    ASSERT_EQ(with({"g_%02d.png", "--frames-from", "1", "--frames-to", "1"}), 0) << err;
    ASSERT_EQ(with({"g_%02d.png", "--frame", "2-2"}), 0) << err;
    ASSERT_EQ(with({"five.bmp", "--frame", "5"}), 0) << err;
    for (const char *k : {"01", "02", "04"})
        EXPECT_EQ(slurp(path(std::string("g_") + k + ".png")),
                  slurp(path(std::string("f_") + k + ".png")))
            << k;
    EXPECT_FALSE(exists(path("g_03.png")));
    EXPECT_TRUE(same(*load("five.bmp"), *load("f_05.png")));

    ASSERT_EQ(run({"join", "f_%02d.png", "joined.webp", "--fps", "12"}), 0) << err;
    ASSERT_EQ(run({"join", "f_%02d.png", "joined.gif", "--fps", "12", "--frames", "6"}), 0) << err;
    EXPECT_EQ(slurp(path("joined.webp")), slurp(path("one.webp")));
    EXPECT_EQ(slurp(path("joined.gif")), slurp(path("one.gif")));
    ASSERT_EQ(run({"join", "f_%02d.png", "joined.webp", "--fps", "12", "--effort", "small"}), 0)
        << err;
    EXPECT_EQ(slurp(path("joined.webp")), slurp(path("small.webp")));
    // chunks of frames, joined: the same file
    ASSERT_EQ(with({"c_%02d.png", "--frame", "0-3"}), 0) << err;
    ASSERT_EQ(with({"c_%02d.png", "--frame", "4-5"}), 0) << err;
    ASSERT_EQ(run({"join", "c_%02d.png", "chunks.webp", "--fps", "12", "--frames", "6"}), 0) << err;
    EXPECT_EQ(slurp(path("chunks.webp")), slurp(path("one.webp")));

    // a gap, a frame missing at the end, a frame of another size: one line,
    // nothing written
    std::rename(path("f_03.png").c_str(), path("f_x.png").c_str());
    EXPECT_EQ(run({"join", "f_%02d.png", "gap.webp"}), 1);
    EXPECT_EQ(err, "koru-cli: f_03.png is missing, after f_02.png; nothing written\n");
    std::rename(path("f_x.png").c_str(), path("f_03.png").c_str());
    EXPECT_EQ(run({"join", "f_%02d.png", "gap.gif", "--frames", "7"}), 1);
    EXPECT_EQ(err, "koru-cli: f_06.png is missing, after f_05.png; nothing written\n");
    ASSERT_EQ(run({"render", "turn.RT", "f_02.png", "--size", "30", "24"}), 0);
    EXPECT_EQ(run({"join", "f_%02d.png", "size.webp"}), 1);
    EXPECT_EQ(err, "koru-cli: f_02.png is 30 x 24 dots, but f_00.png 32 x 24; the frames of an "
                   "animation have one size; nothing written\n");
    for (const char *none : {"gap.webp", "gap.gif", "size.webp"})
        EXPECT_FALSE(exists(path(none))) << none;
}

TEST_F(AnimCli, KeysOfAnotherStructureAreOneLineWithBothPlaces)
{
    keys(9, {"a.RT"});
    std::string b = slurp(path("a.RT"));
    b.replace(b.find("\n40 30\n"), 7, "\n40 32\n");
    spit(path("b.RT"), b);
    EXPECT_EQ(run({"animate", "a.RT", "b.RT", "out.gif", "--frames", "3"}), 1);
    EXPECT_EQ(err, "koru-cli: a.RT:4:4: iymx is 30, but 32 at b.RT:4:4; key scenes must have the "
                   "same structure\n");
    EXPECT_FALSE(exists(path("out.gif")));

    struct {
        std::vector<std::string> args;
        const char *says;
    } usage[] = {
        {{"a.RT", "out.png", "--frames", "3"}, "names one picture"},
        {{"a.RT", "--frames", "3", "--scene-out", "x.RT"}, "give --frame K"},
        {{"a.RT", "x%s.png", "--frames", "3"}, "frame field"},
        {{"a.RT", "x%d.gif", "--frames", "3"}, "frame field"},
        {{"a.RT", "out.gif", "--frames", "3", "--fps", "0"}, "--fps needs"},
        {{"a.RT", "out.gif", "--frames", "3", "--frame", "3"}, "within 0 to 2"},
        {{"a.RT", "out.gif", "--frames", "3", "--frame", "1-3"}, "within 0 to 2"},
        {{"a.RT", "out.gif", "--frames", "3", "--frame", "2-1"}, "A-B with A <= B"},
        {{"a.RT", "out.webp", "--frames", "3", "--effort", "best"}, "--effort needs"},
        {{"a.RT", "out.gif"}, "--frames N"},
        {{"out.gif", "--frames", "2"}, "needs a key scene"},
    };
    for (auto &u : usage) {
        auto args = u.args;
        args.insert(args.begin(), "animate");
        EXPECT_EQ(run(args), 2) << u.says;
        EXPECT_NE(err.find(u.says), std::string::npos) << err;
    }
}

} // namespace
