// Make Animation without a window: the dialog's checks and memory, the
// current scene as a key, the frames written (and nothing on Cancel), and
// the player's frames and clock.
#include "app/tests/script_ui.h"

#include "app/anim/anim_form.h"
#include "app/anim/anim_make.h"
#include "app/anim/anim_play.h"
#include "app/commands/named_file.h"
#include "base/msg.h"
#include "image/animfile.h"
#include "trace/anim.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

// What a folder holds, dot files included, sorted.
// A session with T.RT (16 x 12) open.
struct Anim : ::testing::Test {
    temp_dir tmp;
    scripted sc;
    session &s = sc.s;
    std::string t_rt;
    void SetUp() override
    {
        t_rt = tmp.file("T.RT", small_scene(16, 12));
        ASSERT_EQ(open_scene(s, t_rt.c_str()), 1);
    }
    // The dialog as opened, filled in with a small turntable into out.
    anim_form form(const std::string &out = "turn.webp")
    {
        anim_form f;
        anim_form_open(f, s.app);
        f.frames = "3";
        f.orbit = true;
        f.orbit_deg = "360";
        f.width = "8";
        f.height = "6";
        f.out = out;
        return f;
    }
    // Make Animation with the dialog answered by f.
    void make(const anim_form &f)
    {
        sc.ui.on_anim = [this, f](anim_form &g) {
            g = f;
            return anim_form_ok(s, g);
        };
        app_command(s, IDM_ANIMATE);
    }
    std::string last_msg() const { return sc.ui.msgs.empty() ? "" : sc.ui.msgs.back().text; }
};

TEST_F(Anim, FieldsAreCheckedInTheOrderShown)
{
    tmp.file("scene.RT", small_scene(16, 12));
    struct row {
        std::function<void(anim_form &)> edit;
        const char *says; // "" accepted
    } rows[] = {
        {[](anim_form &f) { f.frames = "0"; }, "The number of frames"},
        {[](anim_form &f) { f.frames = "3 frames"; }, "The number of frames"},
        {[](anim_form &f) { f.fps = "0.05"; }, "Frames a second"},
        {[](anim_form &f) { f.fps = "fast"; }, "Frames a second"},
        {[](anim_form &f) { f.orbit_deg = "ten"; }, "The turn"},
        {[](anim_form &f) { f.orbit = false, f.orbit_deg = "ten"; }, ""},
        {[](anim_form &f) { f.width = "0"; }, "The size"},
        {[](anim_form &f) { f.height = "769"; }, "The size"},
        {[](anim_form &f) { f.out = "  "; }, "Name the output file"},
        {[](anim_form &f) { f.out = "scene.RT"; }, "Name the output file"},
        {[](anim_form &f) { f.out = "a%q.webp"; }, "a % must begin one frame field"},
        {[](anim_form &f) { f.out = "one.png"; }, "\"one.png\" holds one picture: for 3 frames"},
        {[](anim_form &f) { f.out = "f%02d/x.png"; }, "must stand in the file's name"},
        {[](anim_form &f) { f.out = "nowhere/x.webp"; }, "does not exist"},
        {[](anim_form &f) { f.out = "100%%/x.webp"; }, "folder may not have a %"},
        {[](anim_form &f) { f.frames = "1", f.out = "one.png"; }, ""},
        {[](anim_form &f) { f.out = "f_%03d.bmp"; }, ""},
        {[](anim_form &f) { f.frames = "342", f.width = "1024", f.height = "768"; },
         "too large for one file: cannot write"},
        {[](anim_form &f) { f.frames = "342", f.out = "f_%03d.png"; }, ""},
    };
    for (const row &r : rows) {
        anim_form f = form();
        r.edit(f);
        anim_request req;
        const std::string got = anim_check_fields(f, s.app, req);
        if (*r.says)
            EXPECT_NE(got.find(r.says), std::string::npos) << r.says << ": " << got;
        else
            EXPECT_EQ(got, "");
    }
    // a good form: names without a folder go beside the scene file
    anim_form f = form();
    f.fps = " 12.5 ";
    anim_request req;
    ASSERT_EQ(anim_check_fields(f, s.app, req), "");
    EXPECT_EQ(req.out, tmp.path + "/turn.webp");
    EXPECT_EQ(req.frames, 3);
    EXPECT_EQ(req.fps, 12.5);
    EXPECT_TRUE(req.orbit);
    EXPECT_EQ(req.orbit_deg, 360);
    EXPECT_EQ(req.w, 8);
    EXPECT_EQ(req.h, 6);
    // OK with a mistake says it in a message box and keeps nothing
    f.frames = "none";
    EXPECT_EQ(anim_form_ok(s, f), 0);
    EXPECT_EQ(sc.ui.msgs.back().caption, "Error !");
    EXPECT_EQ(s.app.anim_last, nullptr);
}

TEST_F(Anim, TheDialogOpensOnTheSceneAndKeepsTheLastChoices)
{
    s.app.aa_level = 3;
    anim_form f;
    anim_form_open(f, s.app);
    EXPECT_EQ(f.scene_name, t_rt);
    EXPECT_EQ(f.out, tmp.path + "/T.webp");
    EXPECT_EQ(f.width + "x" + f.height, "16x12");
    EXPECT_EQ(f.aa, 3);
    EXPECT_STREQ(anim_aa_text(f.aa), "3×3");

    // Add, through KORU's LOAD dialog, twice; then move and remove
    const std::string u = tmp.file("U.RT", small_scene(16, 12, "0 0 255"));
    sc.ui.files.push_back(type_ok("U.RT"));
    sc.ui.files.push_back(type_ok("T.RT"));
    ASSERT_TRUE(anim_add_key(s, f));
    ASSERT_TRUE(anim_add_key(s, f));
    EXPECT_EQ(f.keys, std::vector<std::string>({u, t_rt}));
    EXPECT_FALSE(anim_move_key(f, 0, 1)); // the current scene stays first
    EXPECT_FALSE(anim_move_key(f, 2, 1));
    EXPECT_TRUE(anim_move_key(f, 2, -1));
    EXPECT_EQ(f.keys, std::vector<std::string>({t_rt, u}));
    EXPECT_TRUE(anim_remove_key(f, 1));
    EXPECT_FALSE(anim_remove_key(f, 0));
    EXPECT_EQ(f.keys, std::vector<std::string>({u}));

    // Browse: KORU's SAVE dialog offers the output's name; oldFName stays
    const std::string offered = s.app.oldFName;
    sc.ui.files.push_back(type_ok("loop.gif"));
    ASSERT_TRUE(anim_browse_out(s, f));
    EXPECT_EQ(sc.ui.offered.back(), "T.webp");
    EXPECT_EQ(f.out, tmp.path + "/loop.gif");
    EXPECT_EQ(s.app.oldFName, offered);

    // OK keeps the choices; the size is the scene's each time
    f.frames = "5";
    ASSERT_EQ(anim_form_ok(s, f), 1) << last_msg();
    ASSERT_EQ(f.req.keys.size(), 2u);
    s.app.model.ixmx = 20;
    anim_form g;
    anim_form_open(g, s.app);
    EXPECT_EQ(g.frames, "5");
    EXPECT_EQ(g.keys, f.keys);
    EXPECT_EQ(g.out, tmp.path + "/loop.gif");
    EXPECT_EQ(g.width, "20");
    EXPECT_TRUE(g.req.keys.empty());
}

TEST_F(Anim, TheCurrentSceneIsAKeyAsTheWindowHasIt)
{
    const std::string u = tmp.file("U.RT", small_scene(10, 8));
    std::vector<std::shared_ptr<keyscene>> keys;
    // a camera moved by hand is the key's; the places are the file's
    s.app.model.rx = 0.5;
    const std::string err = anim_load_keys(s.app, {u}, keys);
    EXPECT_EQ(err, "Key scenes must have the same structure:\n" + t_rt +
                       ":4:1: ixmx is 16, but 10 at " + u + ":4:1.");
    ASSERT_TRUE(anim_load_keys(s.app, {t_rt}, keys).empty());
    EXPECT_EQ(keys[0]->sc.rx, 0.5);
    EXPECT_EQ(keys[1]->sc.rx, 0);
    // a size set in SETTING is the current scene's own: no file place
    s.app.model.ixmx = 10;
    s.app.model.iymx = 8;
    EXPECT_TRUE(anim_load_keys(s.app, {u}, keys).empty());
    EXPECT_EQ(anim_load_keys(s.app, {t_rt}, keys),
              "Key scenes must have the same structure:\nthe current scene: ixmx is 10, but 16 "
              "at " +
                  t_rt + ":4:1.");
    EXPECT_EQ(anim_load_keys(s.app, {tmp.path + "/gone.RT"}, keys),
              "Cannot open \"" + tmp.path + "/gone.RT\" !!");
}

// The pictures anim_job makes of the file's keys, as koru-cli animate
// makes them.
std::vector<picture> cli_frames(const std::vector<std::string> &files, int n, double orbit, int w,
                                int h)
{
    std::vector<std::unique_ptr<keyscene>> keys;
    anim_plan plan;
    for (const std::string &f : files) {
        keys.push_back(std::make_unique<keyscene>());
        msglist m;
        EXPECT_EQ(data_load(keys.back()->sc, f.c_str(), m, &keys.back()->map), 1);
        plan.keys.push_back(keys.back().get());
    }
    plan.frames = n;
    plan.orbit = orbit != 0;
    plan.orbit_deg = orbit;
    anim_options opt;
    opt.w = w, opt.h = h;
    auto job = std::make_unique<anim_job>(plan, opt);
    std::vector<picture> pics;
    EXPECT_EQ(job->run([&](int, const render_job &r) {
        pics.push_back(r.result());
        return true;
    }),
              RAY_DONE);
    return pics;
}

std::vector<picture> read_back(const std::string &name, int fps)
{
    anim_reader in;
    msglist m;
    std::vector<picture> pics;
    EXPECT_EQ(in.open(name.c_str(), fps, m), 1) << m.first();
    picture p;
    int end_ms;
    while (in.next(p, end_ms, m))
        pics.push_back(p);
    return pics;
}

// The n frames of a file as the player reads them.
std::vector<picture> played_frames(const std::string &name, int n)
{
    anim_frames fr;
    msglist m;
    std::vector<picture> pics(n);
    EXPECT_EQ(fr.open(name, 24, n, m), 1) << m.first();
    for (int k = 0; k < n; k++)
        EXPECT_TRUE(fr.get(k, pics[k], m)) << m.first();
    return pics;
}

bool same(const picture &a, const picture &b)
{
    return a.w == b.w && a.h == b.h && a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST_F(Anim, MakesTheFramesKoruCliMakesAndLeavesTheWindowsPicture)
{
    const std::string u = tmp.file("U.RT", small_scene(16, 12, "0 0 255"));
    const std::vector<picture> want = cli_frames({t_rt, u}, 3, 360, 8, 6);
    const std::vector<std::string> before = listing(tmp.path);
    for (const char *out : {"turn.webp", "f_%02d.png"}) {
        anim_form f = form(out);
        f.keys = {u};
        make(f);
        ASSERT_EQ(sc.ui.played.size(), 1u) << last_msg();
        EXPECT_EQ(sc.ui.played[0], tmp.path + "/" + out);
        EXPECT_EQ(sc.ui.busy_seen, 1);
        EXPECT_EQ(s.app.busy, 0);
        const std::vector<picture> got = played_frames(sc.ui.played[0], 3);
        for (int k = 0; k < 3; k++)
            EXPECT_TRUE(same(got[k], want[k])) << out << " frame " << k;
        sc.ui.played.clear();
    }
    std::vector<std::string> after = before;
    for (const char *name : {"f_00.png", "f_01.png", "f_02.png", "turn.webp"})
        after.push_back(name);
    std::sort(after.begin(), after.end());
    EXPECT_EQ(listing(tmp.path), after); // and no hidden folder
    EXPECT_EQ(s.app.image_ready, 0);
    EXPECT_EQ(s.app.data_change, 0);

    // a file that is written but cannot be played is said, and kept
    sc.ui.play_ok = false;
    make(form("turn.webp"));
    EXPECT_EQ(last_msg().rfind("The animation was written, but cannot be played.\n", 0), 0u);
    EXPECT_EQ(s.said.texts.back(), last_msg());
}

TEST_F(Anim, CancelAndFailuresLeaveNoFile)
{
    const std::vector<std::string> before = listing(tmp.path);
    // Cancel before the first frame, between frames, and once every frame
    // is made, while the file is written: no file, nothing played
    for (int at : {(int)script_ui::ANIM_CANCEL_FIRST, 1, (int)script_ui::ANIM_CANCEL_WRITING})
        for (const char *out : {"turn.webp", "turn.gif", "f_%02d.png"}) {
            sc.ui.anim_cancel_at = at;
            make(form(out));
            EXPECT_TRUE(sc.ui.played.empty());
            EXPECT_TRUE(sc.ui.msgs.empty()) << last_msg();
            EXPECT_EQ(listing(tmp.path), before) << out << " cancelled at " << at;
        }
    sc.ui.anim_cancel_at = script_ui::ANIM_CANCEL_NEVER;

    // a frame with no view: said, and nothing written
    s.app.model.vpnax = s.app.model.vpnay = s.app.model.vpnaz = 0;
    make(form("f_%02d.png"));
    EXPECT_TRUE(sc.ui.played.empty());
    EXPECT_EQ(last_msg().rfind("Frame 0: ", 0), 0u) << last_msg();
    EXPECT_EQ(listing(tmp.path), before);

    // without a scene the command does nothing
    scripted fresh;
    fresh.ui.on_anim = [](anim_form &) {
        ADD_FAILURE();
        return 0;
    };
    app_command(fresh.s, IDM_ANIMATE);
}

// Five frames of 4 x 3 dots; the third the same as the second, the last
// as the fourth (a WebP stores each pair as one longer frame).
std::vector<picture> five_frames()
{
    std::vector<picture> pics(5);
    for (int k = 0; k < 5; k++) {
        const int c = k - (k == 2) - (k == 4);
        pics[k].resize(4, 3);
        for (int i = 0; i < 12; i++) {
            pics[k].r[i] = (unsigned char)(50 * c);
            pics[k].g[i] = (unsigned char)(20 * i);
            pics[k].b[i] = (unsigned char)(255 - 40 * c);
        }
    }
    return pics;
}

TEST(AnimFrames, AnyOrderGivesTheFilesFramesInBoundedMemory)
{
    temp_dir tmp;
    const std::vector<picture> pics = five_frames();
    const size_t frame_bytes = 4 * 3 * 3;
    for (const char *name : {"a.webp", "a.gif", "a_%d.bmp"}) {
        const std::string path = tmp.path + "/" + name;
        anim_writer out(path.c_str(), 10);
        msglist m;
        for (int k = 0; k < 5; k++)
            ASSERT_EQ(out.add(k, pics[k], m), 1) << m.first();
        ASSERT_EQ(out.finish(m), 1) << m.first();
        // the GIF's frames are the 256-colour display's
        const std::vector<picture> want = anim_kind(name) == ANIM_GIF ? read_back(path, 10) : pics;
        ASSERT_EQ(want.size(), 5u);

        // room for two frames: every frame right, never more kept
        anim_frames small(2 * frame_bytes);
        ASSERT_EQ(small.open(path, 10, 5, m), 1) << m.first();
        picture p;
        for (int k : {4, 0, 3, 3, 1, 2, 4}) {
            ASSERT_TRUE(small.get(k, p, m)) << name << " " << m.first();
            EXPECT_TRUE(same(p, want[k])) << name << " frame " << k;
            EXPECT_LE(small.kept_bytes(), 2 * frame_bytes);
        }
        EXPECT_FALSE(small.get(5, p, m));
        EXPECT_FALSE(small.get(-1, p, m));

        // room for all: read once, then from memory
        anim_frames all;
        ASSERT_EQ(all.open(path, 10, 5, m), 1);
        for (int pass = 0; pass < 2; pass++)
            for (int k = 4; k >= 0; k--)
                ASSERT_TRUE(all.get(k, p, m) && same(p, want[k]));
        EXPECT_LE(all.decoded(), anim_kind(name) == ANIM_WEBP ? 3 : 5);
    }
}

TEST(AnimPlay, TheClockLoopsSkipsAndPauses)
{
    anim_play p;
    p.n = 4;
    p.fps = 10; // a frame every 100 ms, 400 ms a loop
    play_start(p, 1000);
    struct {
        long long now;
        int k;
        long long due;
    } steps[] = {
        {1000, 0, 1100}, {1099, 0, 1100}, {1100, 1, 1200}, {1350, 3, 1400}, // a slow frame skips
        {1420, 0, 1500},                                                    // and it loops
        {2550, 3, 2600},
    };
    for (const auto &st : steps) {
        EXPECT_EQ(play_tick(p, st.now), st.due) << st.now;
        EXPECT_EQ(p.k, st.k) << st.now;
    }
    play_pause(p);
    EXPECT_EQ(play_tick(p, 5000), -1);
    EXPECT_EQ(p.k, 3);
    play_seek(p, 9, 5000);
    EXPECT_EQ(p.k, 3);
    play_seek(p, 1, 5000);
    play_start(p, 6000); // on from the frame shown
    EXPECT_EQ(play_tick(p, 6000), 6100);
    EXPECT_EQ(p.k, 1);
    play_seek(p, 3, 6050); // while playing: on from there
    EXPECT_EQ(play_tick(p, 6149), 6150);
    EXPECT_EQ(p.k, 3);

    // frames start at whole milliseconds, rounded: 0, 333, 667 at 3 fps
    p = anim_play();
    p.n = 3;
    p.fps = 3;
    play_start(p, 0);
    EXPECT_EQ(play_tick(p, 332), 333);
    EXPECT_EQ(p.k, 0);
    EXPECT_EQ(play_tick(p, 666), 667);
    EXPECT_EQ(p.k, 1);
    EXPECT_EQ(play_tick(p, 999), 1000);
    EXPECT_EQ(p.k, 2);

    // one frame does not play
    p = anim_play();
    play_start(p, 0);
    EXPECT_FALSE(p.playing);
}

} // namespace
