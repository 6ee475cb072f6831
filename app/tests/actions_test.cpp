// The window's one table of menu items and keys, and what it greys and
// ticks.
#include "app/commands/actions.h"
#include "app/session/command_ids.h"
#include "app/tests/script_ui.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

// Each id has one row; each menu is opened before its items; no key does
// two things in either view; the studio's view alone has its items.
TEST(Actions, OneRowAnIdAndKeysThatNeverClash)
{
    int n = 0;
    const action_row *rows = action_rows(n);
    std::set<int> ids, menus{MENU_BAR, MENU_NONE};
    std::set<std::string> keys[VIEWS];
    for (int i = 0; i < n; i++) {
        const action_row &r = rows[i];
        EXPECT_TRUE(menus.count(r.menu)) << i;
        if (r.opens)
            menus.insert(r.opens);
        if (r.id) {
            EXPECT_TRUE(ids.insert(r.id).second) << r.id;
            EXPECT_EQ(find_action(r.id), &r);
        }
        for (int v = 0; v < VIEWS; v++) {
            std::istringstream in(r.keys[v]);
            for (std::string k; std::getline(in, k, ';');)
                EXPECT_TRUE(keys[v].insert(k.substr(k.find_first_not_of(' '))).second) << k;
        }
    }
    EXPECT_STREQ(shortcut_keys(IDM_SAVEBMP, VIEW_PICTURE), "Ctrl+S");
    EXPECT_STREQ(shortcut_keys(IDM_SAVEBMP, VIEW_STUDIO), "Ctrl+Shift+S");
    EXPECT_STREQ(shortcut_keys(IDM_SAVESCENE, VIEW_STUDIO), "Ctrl+S");
    EXPECT_STREQ(shortcut_keys(IDM_SAVESCENE, VIEW_PICTURE), "");
    EXPECT_TRUE(find_action(IDM_SAVESCENE)->flags & ACT_STUDIO);
    EXPECT_FALSE(find_action(IDM_NEWSCENE)->flags & ACT_STUDIO);
}

// While a render runs the editor's own items and the keys without a menu
// item stay (the commands wait: commands_test.cpp); ticks follow the
// session.
TEST(Actions, WhatNeverWaitsAndWhatIsTicked)
{
    scripted w;
    w.a.busy = 1;
    for (int id :
         {(int)IDM_UNDO, (int)IDM_HINTS, (int)KEY_ZOOM_IN, (int)KEY_FILE_MENU, (int)IDM_GUIDE})
        EXPECT_TRUE(app_enabled(w.a, id)) << id;
    for (int id : {(int)IDM_FIND, (int)IDM_NEXTPROBLEM, (int)IDM_LIVE})
        EXPECT_FALSE(app_enabled(w.a, id)) << id;

    w.a.aa_level = 3;
    w.a.live = true;
    w.s.studio.follow.set_mode(FOLLOW_SAVE);
    for (int id : {IDM_AA1 + 2, (int)IDM_LIVE, (int)IDM_FOLLOW_SAVE})
        EXPECT_TRUE(app_checked(w.s, id)) << id;
    for (int id : {(int)IDM_AA1, (int)IDM_STUDIO, (int)IDM_FOLLOW_TYPING, (int)IDM_HINTS})
        EXPECT_FALSE(app_checked(w.s, id)) << id;
}
