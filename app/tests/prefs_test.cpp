// What the window remembers between runs: the settings' text, the recent
// files and the zoom steps, and what a session takes from them and gives
// back.
#include "app/session/prefs.h"
#include "app/session/remember.h"
#include "app/tests/script_ui.h"

#include <gtest/gtest.h>

TEST(Prefs, RoundTripDefaultsAndDamage)
{
    prefs p;
    p.zoom = 150, p.mode = 2, p.live = true, p.folder = "/tmp/x/", p.geometry = "AAAA";
    p.studio_geometry = "BBBB";
    p.studio = p.hints = true, p.follow = 1, p.docks = "BBBB", p.lights = false;
    for (const char *f : {"/a/1.RT", "/a/2.BMP", "/a/3.RT", "/a/1.RT", "/a/4.png", "/a/5.RT"})
        add_recent(p.recent, f);
    EXPECT_EQ(p.recent, (std::vector<std::string>{"/a/5.RT", "/a/4.png", "/a/1.RT", "/a/3.RT"}));
    remove_recent(p.recent, "/a/3.RT");
    remove_recent(p.recent, "/a/none.RT");
    EXPECT_EQ(p.recent, (std::vector<std::string>{"/a/5.RT", "/a/4.png", "/a/1.RT"}));
    prefs q = prefs_from(prefs_to(p));
    EXPECT_TRUE(q.zoom == 150 && q.mode == 2 && q.live && q.folder == "/tmp/x/" &&
                q.geometry == "AAAA" && q.studio_geometry == "BBBB" && q.recent == p.recent);
    EXPECT_TRUE(q.studio && q.hints && q.follow == 1 && q.docks == "BBBB" && !q.lights);

    // a first run, or values that cannot be: the start-up values
    prefs d = prefs_from({{"zoom", "9000"},
                          {"mode", "x"},
                          {"live", "2"},
                          {"folder", "rel/"},
                          {"recent1", "not/absolute"},
                          {"studio", "yes"},
                          {"follow", "2"}});
    EXPECT_TRUE(d.zoom == 100 && d.mode == 0 && !d.live && d.folder.empty() && d.recent.empty());
    EXPECT_TRUE(!d.studio && d.follow == 0 && d.lights);

    EXPECT_EQ(zoom_step(100, 1), 150);
    EXPECT_EQ(zoom_step(100, -1), 75);
    EXPECT_EQ(zoom_step(120, 1), 150);
    EXPECT_EQ(zoom_step(120, -1), 100);
    EXPECT_EQ(zoom_step(400, 1), 400);
    EXPECT_EQ(zoom_step(50, -1), 50);
}

// A session takes the remembered zoom, mode, files, anti-aliasing, the
// studio's choices and a folder that still is one; it gives back what it
// has at the end, keeping the zoom and mode the user chose.
TEST(Prefs, WhatASessionTakesAndGivesBack)
{
    temp_dir tmp;
    prefs p;
    p.zoom = 200, p.mode = 1, p.aa = 3, p.follow = FOLLOW_SAVE, p.hints = true;
    p.recent = {"/a/1.RT"};
    p.folder = tmp.path + "/";
    scripted w;
    take_prefs(w.s, p);
    EXPECT_TRUE(w.d.zoom_size == 200 && w.d.mode == 1 && w.a.aa_level == 3);
    EXPECT_TRUE(w.s.studio.follow.mode == FOLLOW_SAVE && w.s.studio.hints);
    EXPECT_EQ(w.a.recent_files, p.recent);
    EXPECT_EQ(w.a.szTmpFilePath, p.folder);
    p.folder = tmp.path + "/gone/";
    scripted x;
    take_prefs(x.s, p);
    EXPECT_EQ(x.a.szTmpFilePath, "");

    w.d.zoom_size = 50; // the command line's, for this run
    w.a.live = true;
    w.s.studio.on = true;
    w.a.recent_files.push_back("/a/2.RT");
    give_prefs(w.s);
    EXPECT_TRUE(w.s.kept.zoom == 200 && w.s.kept.live && w.s.kept.studio);
    EXPECT_EQ(w.s.kept.recent.size(), 2u);
}
