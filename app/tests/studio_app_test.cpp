// The scene studio's logic without a window: when the text is read (a fake
// clock), what a read shows (marks, names, hints, the inspector's rows),
// how the text is kept (saves, the question, the scene file, the camera
// written back) and what a click on the picture picks.
#include "app/commands.h"
#include "app/inspector.h"
#include "app/live.h"
#include "app/studio.h"
#include "app/studio_doc.h"
#include "app/studio_pick.h"
#include "app/studio_select.h"
#include "base/msg.h"
#include "image/picfile.h"
#include "tests/write_limit.h"
#include "scene/newscene.h"
#include "scene/rtread.h"
#include "script_ui.h"
#include "trace/camera_moves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Two lights, a floor, a box and a sphere the box cuts (group 2 3).
const char *const GROUPED = "0 0 1\n"
                            "0 -1 0.5\n"
                            "10 6\n"
                            "32 24\n"
                            "2\n"
                            "-3 -5 6 0.6\n"
                            "4 -2 5 0.4\n"
                            "3\n"
                            "1 1 0.2 0.7 0 0 1 1 0 1 1 1 0 0 1 0 0 0 110 130 160\n"
                            "2 1 0.2 0.7 0.3 0 20 1 0 0 1 1 0.5 0.5 0.5 0 0 1 200 60 40\n"
                            "3 1 0.2 0.7 0.3 0 20 1 0 0 1 -1 0.6 0.6 0.6 0 0 1 40 200 60\n"
                            "-1\n"
                            "2 3 -1\n"
                            "-1\n";

// A session in studio view over a scripted window, with the text of a file.
struct Studio : ::testing::Test {
    temp_dir tmp;
    scripted w;
    studio_state &st = w.s.studio;
    std::string path;
    void SetUp() override
    {
        path = tmp.file("S.RT", small_scene(8, 6));
        st.on = true;
        ASSERT_EQ(open_scene(w.s, path.c_str()), 1);
        ASSERT_TRUE(studio_take_file(w.s));
    }
    void type(const std::string &from, const std::string &to)
    {
        const size_t at = st.text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        st.text.replace(at, from.size(), to);
        st.modified = true;
    }
};

} // namespace

// The clock decides when the text is read; the live view's frames wait.
TEST(StudioFollow, TypingRestsThenThePictureFollowsPreviewFirst)
{
    live_state live;
    studio_follow f;
    live.turn_on();
    ASSERT_EQ(live.next(), LIVE_EXACT); // the first picture runs

    // a keystroke makes it stale; frames wait while typing goes on
    EXPECT_TRUE(f.typed(1000));
    live.frame_done(LIVE_EXACT, RAY_CANCELLED);
    EXPECT_TRUE(f.holding());
    EXPECT_EQ(f.wait(1100), 200);
    EXPECT_EQ(f.tick(1299), READ_NONE);
    EXPECT_TRUE(f.typed(1250)); // another: the rest starts again
    EXPECT_EQ(f.tick(1500), READ_NONE);
    EXPECT_EQ(f.wait(1500), 50);

    // at rest the text is read for the marks and the picture
    EXPECT_EQ(f.tick(1550), READ_CHECK | READ_PICTURE);
    EXPECT_FALSE(f.holding());
    EXPECT_EQ(f.wait(1550), -1);
    live.reloaded(true);
    EXPECT_EQ(live.next(), LIVE_PREVIEW);
    live.frame_done(LIVE_PREVIEW, RAY_DONE);
    EXPECT_EQ(live.next(), LIVE_EXACT);

    // the camera written back is read for the marks only
    f.edited(2000);
    EXPECT_FALSE(f.holding());
    EXPECT_EQ(f.tick(2300), READ_CHECK);
}

TEST(StudioFollow, OnSaveTypingLeavesThePictureAlone)
{
    studio_follow f;
    f.set_mode(FOLLOW_SAVE);
    EXPECT_FALSE(f.typed(0)); // no frame is stale
    EXPECT_FALSE(f.holding());
    EXPECT_EQ(f.tick(300), READ_CHECK);
    f.typed(400);
    f.saved(); // at once, the picture following
    EXPECT_EQ(f.wait(401), 0);
    EXPECT_TRUE(f.holding());
    EXPECT_EQ(f.tick(401), READ_CHECK | READ_PICTURE);

    // a change of mind while a read waits takes the new choice
    f.typed(1000);
    f.set_mode(FOLLOW_TYPING);
    EXPECT_TRUE(f.holding());
    f.set_mode(FOLLOW_SAVE);
    EXPECT_EQ(f.tick(1300), READ_CHECK);
}

// Every finding is placed on the text it is about, in full.
TEST(StudioDoc, MarksNamesItemsAndTheKey)
{
    std::string text = GROUPED;
    text.replace(text.find("0.2 0.7 0.3 0 20"), 3, "abc"); // primitive 2's ka
    const auto r = read_studio_text(text, "G.RT");
    ASSERT_FALSE(r->marks.empty());
    const studio_mark &m = r->marks[0];
    EXPECT_EQ(text.substr(m.at, m.len), "abc");
    EXPECT_EQ(m.line, 10);
    EXPECT_EQ(m.text.rfind("G.RT:10:", 0), 0u) << m.text;
    EXPECT_NE(m.text.find("warning: "), std::string::npos);

    // a record short on its line: marked at its last number there
    std::string short_line = GROUPED;
    short_line.erase(short_line.find(" 60 40\n"), 6);
    const auto sl = read_studio_text(short_line, "G.RT");
    const std::string says = "G.RT:10:50: warning: line 10: primitive 2 has 19 of its 21 numbers";
    auto m10 = std::find_if(sl->marks.begin(), sl->marks.end(),
                            [&](const studio_mark &k) { return !k.text.rfind(says, 0); });
    ASSERT_NE(m10, sl->marks.end());
    EXPECT_EQ(short_line.substr(m10->at, m10->len), "200");

    // names, records and the outline's groups
    const auto g = read_studio_text(GROUPED, "G.RT");
    EXPECT_TRUE(g->complete && g->marks.empty());
    const size_t ks = std::string(GROUPED).find("0.3 0 20 1 0 0 1 1 0.5");
    EXPECT_EQ(name_at(*g, ks), "primitive 2 (box), ks: specular weight");
    EXPECT_EQ(name_at(*g, ks + 3), name_at(*g, ks)); // just after it
    EXPECT_EQ(name_at(*g, std::string(GROUPED).find("\n-1\n2 3") + 1),
              "the end of the primitive list");
    EXPECT_EQ(name_at(*read_studio_text("1  2", ""), 2), ""); // between numbers
    const int box = item_at(*g, ks);
    ASSERT_GE(box, 0);
    EXPECT_EQ(g->outline[box].kind, OUT_PRIMITIVE);
    EXPECT_EQ(g->outline[box].index, 1);
    EXPECT_EQ(g->outline[box].depth, 1); // under its group
    EXPECT_EQ(find_item(*g, OUT_PRIMITIVE, 1), box);
    EXPECT_EQ(g->outline[item_at(*g, std::string(GROUPED).find("2 3 -1"))].kind, OUT_GROUP);
    EXPECT_EQ(g->outline[item_at(*g, 2)].kind, OUT_CAMERA);
    EXPECT_EQ(find_item(*g, OUT_LIGHT, 5), -1);

    // the key: blanks aside, the same numbers are the same scene
    std::string spaced = GROUPED;
    spaced.replace(spaced.find("\n3\n"), 3, "\n   3\t\n");
    EXPECT_EQ(read_studio_text(spaced, "")->key, g->key);
    std::string other = GROUPED;
    other.replace(other.find("200 60 40"), 3, "201");
    EXPECT_NE(read_studio_text(other, "")->key, g->key);

    // a text cut short: not complete, and marked at its last number
    const std::string cut = std::string(GROUPED).substr(0, std::string(GROUPED).find("-1\n2 3"));
    const auto c = read_studio_text(cut, "G.RT");
    EXPECT_FALSE(c->complete);
    ASSERT_FALSE(c->marks.empty());
    EXPECT_EQ(c->marks.back().at + c->marks.back().len, cut.size() - 1); // "60", then '\n'

    // the selection: the primitives the picture outlines, only while a
    // read has its item
    using sel = studio_selection;
    EXPECT_EQ(selected_primitives(*g, sel{OUT_PRIMITIVE, 1}), std::vector<int>{1});
    EXPECT_EQ(selected_primitives(*g, sel{OUT_GROUP, 0}), (std::vector<int>{1, 2}));
    EXPECT_TRUE(selected_primitives(*g, sel{OUT_CAMERA, 0}).empty());
    EXPECT_EQ(selected_item(*g, sel{OUT_CAMERA, 0}), item_at(*g, 2));
    EXPECT_EQ(selected_item(*g, sel{}), -1);
    EXPECT_TRUE(selected_primitives(*c, sel{OUT_GROUP, 0}).empty()); // cut before its group
    EXPECT_EQ(selected_item(*c, sel{OUT_GROUP, 0}), -1);
}

TEST(StudioDoc, MarkSpansAndPositionsAfterAnEdit)
{
    const std::string text = "1 2.5\n  x7 \n\n";
    line_index li;
    li.build(text.data(), text.size());
    text_span s;
    ASSERT_TRUE(mark_span(text, li, 1, 3, s));
    EXPECT_EQ(text.substr(s.at, s.len), "2.5");
    ASSERT_TRUE(mark_span(text, li, 2, 3, s));
    EXPECT_EQ(text.substr(s.at, s.len), "x7");
    ASSERT_TRUE(mark_span(text, li, 4, 1, s)); // where the file ended: its last word
    EXPECT_EQ(text.substr(s.at, s.len), "7");
    EXPECT_FALSE(mark_span("  \n", li, 9, 1, s));

    // "0.25" replaced by "12" at 10
    const text_edit e{10, "0.25", "12"};
    const size_t cases[][2] = {{0, 0}, {10, 10}, {11, 11}, {13, 12}, {14, 12}, {20, 18}};
    for (auto &c : cases)
        EXPECT_EQ(moved_position(c[0], e), c[1]) << c[0];
}

TEST(StudioDoc, FieldHintsStandUnderTheirNumbers)
{
    const std::string text = "0 2 1.6\n0.35\t-1 0.32\n11 10\n32 24\n0\n1\n-1\n-1\n";
    const auto r = read_studio_text(text, "");
    const std::vector<hint_line> h = field_hints(*r, find_item(*r, OUT_CAMERA, 0));
    ASSERT_EQ(h.size(), 4u);
    EXPECT_EQ(h[0].line, 1);
    EXPECT_EQ(h[0].rows, (std::vector<std::string>{"rx  rz", "  ry"}));
    // a tab moves the next number to column 8
    EXPECT_EQ(h[1].rows, (std::vector<std::string>{"vpnax   vpnay", "           vpnaz"}));
    EXPECT_EQ(h[2].rows, (std::vector<std::string>{"dlength", "   wdu"}));
    EXPECT_EQ(h[3].rows, (std::vector<std::string>{"ixmx", "   iymx"}));
    EXPECT_TRUE(field_hints(*r, -1).empty());
}

TEST(Inspector, RowsByKindAndSteppedNumbers)
{
    const auto r = read_studio_text(GROUPED, "");
    const std::vector<inspector_row> box = inspector_rows(*r, find_item(*r, OUT_PRIMITIVE, 1));
    ASSERT_EQ(box.size(), (size_t)PRIM_FIELDS);
    EXPECT_EQ(inspector_title(*r, find_item(*r, OUT_PRIMITIVE, 1)), "primitive 2 (box)");
    EXPECT_EQ(box[P_TYPE].kind, FK_CODE);
    EXPECT_EQ(box[P_TYPE].choices.size(), 4u);
    EXPECT_EQ(box[P_KS].name, "ks");
    EXPECT_EQ(box[P_KS].text, "0.3");
    EXPECT_FALSE(box[P_KS].whole);
    EXPECT_TRUE(box[P_NPOW].whole && box[P_NPOW].kind == FK_WHOLE);
    EXPECT_EQ(box[P_R].kind, FK_COLOUR);
    EXPECT_EQ(box[P_R].value, 200);
    EXPECT_EQ(inspector_rows(*r, find_item(*r, OUT_CAMERA, 0)).size(), (size_t)V_IYMX + 1);
    EXPECT_EQ(inspector_rows(*r, find_item(*r, OUT_LIGHT, 1))[L_BRIGHT].text, "0.4");
    EXPECT_TRUE(inspector_rows(*r, find_item(*r, OUT_GROUP, 0)).empty());

    const struct {
        const char *text;
        bool whole;
        int steps;
        const char *want;
    } steps[] = {
        {"7", true, 1, "8"},          {"0.2", false, 1, "0.3"},  {"0.75", false, -1, "0.74"},
        {"1", false, 1, "1.1"},       {"-0.1", false, 1, "0.0"}, {"2.50", false, 2, "2.52"},
        {"1e-3", false, 1, "0.0011"}, {"x", false, 1, ""},       {"1.5", true, 1, ""},
    };
    for (auto &c : steps)
        EXPECT_EQ(stepped_text(c.text, c.whole, c.steps), c.want) << c.text;
}

// The text goes into the model only as a whole scene, and only when its
// numbers changed; the stereo distance set in SETTING stays.
TEST_F(Studio, TheModelFollowsACompleteTextOnly)
{
    msglist m;
    EXPECT_EQ(studio_follow_text(w.s, m), FOLLOWED_SAME); // what the file gave
    w.a.model.length3d = 0.3;
    type("200 100 50", "20 100 50");
    EXPECT_EQ(studio_follow_text(w.s, m), FOLLOWED_READ);
    EXPECT_EQ(w.a.model.pri[0].col.r, 20);
    EXPECT_EQ(w.a.model.length3d, 0.3);
    type("\n-1\n-1\n", "\n-1\n  -1\n"); // blanks only
    EXPECT_EQ(studio_follow_text(w.s, m), FOLLOWED_SAME);
    type("20 100 50\n-1\n  -1\n", "20 100 5"); // the list's end being typed
    EXPECT_EQ(studio_follow_text(w.s, m), FOLLOWED_CUT);
    EXPECT_EQ(w.a.model.pri[0].col.b, 50);
    EXPECT_FALSE(m.empty());
}

TEST_F(Studio, SaveWritesTheTextAsTypedAndTheQuestionGuardsIt)
{
    type("0 0 10 1", "0 0 10 1   \r");
    w.ui.answers = {ID_CANCEL};
    EXPECT_EQ(save_or_not(w.s), 0); // the picture's question is the text's here
    ASSERT_EQ(w.ui.msgs.size(), 1u);
    EXPECT_EQ(w.ui.msgs[0].caption, "Save the scene?");
    EXPECT_NE(slurp(path), st.text);

    w.ui.answers = {ID_YES};
    EXPECT_EQ(app_close(w.s), 1);
    EXPECT_EQ(slurp(path), st.text);
    EXPECT_FALSE(st.modified);
    EXPECT_EQ(st.saves, 1u);
    EXPECT_TRUE(st.follow.holding()); // the picture follows the save

    // unmodified: nothing asked
    w.ui.msgs.clear();
    EXPECT_EQ(app_close(w.s), 1);
    EXPECT_TRUE(w.ui.msgs.empty());

    // No drops it; a save that fails stops, and says why
    type("0 0 10 1", "0 0 9 1");
    w.ui.answers = {ID_NO};
    EXPECT_EQ(studio_keep_text(w.s), 1);
    safewrite_fail_after(0); // a full disk
    w.ui.answers = {ID_YES};
    EXPECT_EQ(studio_keep_text(w.s), 0);
    safewrite_fail_after(-1);
    EXPECT_TRUE(st.modified);
    EXPECT_EQ(w.ui.msgs.back().caption, "Error !");
    EXPECT_NE(slurp(path), st.text);
}

TEST_F(Studio, PicturesOpenWithoutAskingAndSaveRtAsksFirst)
{
    // a rendered picture and typed text: opening a picture keeps the text
    app_command(w.s, IDM_MAKE);
    type("0 0 10 1", "0 0 9 1");
    msglist m;
    ASSERT_EQ(save_picture((tmp.path + "/P.BMP").c_str(), *w.a.gdata, 8, 6, m), 1);
    EXPECT_EQ(open_file(w.s, (tmp.path + "/P.BMP").c_str()), 0);
    EXPECT_TRUE(w.ui.msgs.empty());
    EXPECT_EQ(w.a.made_scene, nullptr); // no scene made this picture

    // Save *.RT(W) would replace the text: asked first, Cancel stops
    w.ui.answers = {ID_CANCEL};
    w.ui.files.push_back(type_ok("W.RT"));
    app_command(w.s, IDM_SAVERT);
    EXPECT_EQ(w.ui.msgs.size(), 1u);
    EXPECT_EQ(w.ui.files.size(), 1u); // no dialog came
    EXPECT_TRUE(st.modified);
}

TEST_F(Studio, NewSceneAndSaveAs)
{
    w.ui.answers = {ID_NO};
    type("0 0 10 1", "0 0 9 1");
    app_command(w.s, IDM_NEWSCENE);
    EXPECT_EQ(st.text, new_scene_text);
    EXPECT_TRUE(st.file.empty() && w.a.scene_file.empty() && !st.modified);
    EXPECT_EQ(w.ui.title, NEW_SCENE_NAME);
    EXPECT_EQ(w.a.model.primmx, 2);
    EXPECT_EQ(w.a.rt_ready, 1);

    // typed into an empty studio: the scene's commands come with it
    scripted fresh;
    fresh.s.studio.on = true;
    fresh.s.studio.text = new_scene_text;
    msglist m;
    EXPECT_EQ(studio_follow_text(fresh.s, m), FOLLOWED_READ);
    EXPECT_EQ(fresh.a.rt_ready, 1);
    EXPECT_EQ(fresh.ui.command_changes, 1);
    EXPECT_TRUE(app_enabled(fresh.a, IDM_MAKE));

    // Save Scene without a file is Save Scene As. It offers a name that is
    // no file; another file is replaced only when Yes is said (No, the
    // default, opens the dialog again)
    tmp.file("untitled.RT", "");
    st.modified = true;
    w.ui.msgs.clear();
    w.ui.offered.clear();
    w.ui.files = {type_ok("S.RT"), type_ok("N.RT")};
    app_command(w.s, IDM_SAVESCENE);
    EXPECT_EQ(w.ui.offered, (std::vector<std::string>{"untitled-2.RT", "S.RT"}));
    ASSERT_EQ(w.ui.msgs.size(), 1u);
    EXPECT_EQ(w.ui.msgs[0].text, "\"S.RT\" exists.\nReplace it?");
    EXPECT_EQ(w.ui.msgs[0].kind, MB_REPLACE);
    EXPECT_EQ(slurp(path), small_scene(8, 6)); // S.RT as it was
    const std::string n = tmp.path + "/N.RT";
    EXPECT_EQ(st.file, n);
    EXPECT_EQ(w.a.scene_file, n);
    EXPECT_EQ(w.ui.title, n);
    EXPECT_EQ(slurp(n), new_scene_text);
    EXPECT_FALSE(studio_take_file(w.s)); // the text is that file's already
    EXPECT_EQ(w.a.recent_files.front(), n);

    // its own Save As offers its own name, and keeps it without asking;
    // Yes replaces another file
    w.ui.msgs.clear();
    w.ui.offered.clear();
    w.ui.files = {type_ok("N.RT")};
    app_command(w.s, IDM_SAVESCENEAS);
    EXPECT_EQ(w.ui.offered, std::vector<std::string>{"N.RT"});
    EXPECT_TRUE(w.ui.msgs.empty());
    w.ui.answers = {ID_YES};
    w.ui.files = {type_ok("S.RT")};
    app_command(w.s, IDM_SAVESCENEAS);
    EXPECT_EQ(slurp(path), new_scene_text);
    EXPECT_EQ(st.file, path);
}

TEST_F(Studio, TheFileChangedOnDisk)
{
    EXPECT_EQ(studio_file_changed(w.s), DISK_SAME);
    const unsigned loads = st.loads;
    tmp.file("S.RT", small_scene(8, 6, "1 2 3"));
    EXPECT_EQ(studio_file_changed(w.s), DISK_TAKEN);
    EXPECT_EQ(st.text, small_scene(8, 6, "1 2 3"));
    EXPECT_EQ(st.loads, loads + 1);
    type("1 2 3", "4 5 6");
    tmp.file("S.RT", small_scene(8, 6, "7 8 9"));
    EXPECT_EQ(studio_file_changed(w.s), DISK_KEPT);
    EXPECT_NE(st.text.find("4 5 6"), std::string::npos);

    // another scene opened: its text is taken after the question
    const std::string u = tmp.file("U.RT", small_scene(4, 4));
    w.ui.answers = {ID_NO};
    EXPECT_EQ(open_file(w.s, u.c_str()), 1);
    EXPECT_TRUE(studio_take_file(w.s));
    EXPECT_EQ(st.text, small_scene(4, 4));
    EXPECT_EQ(st.file, u);

    // off: unsaved text is asked about, and the file's comes back after No
    type("4 4", "5 4");
    w.ui.answers = {ID_CANCEL, ID_NO};
    EXPECT_EQ(studio_turn_off(w.s), 0);
    EXPECT_TRUE(st.on);
    EXPECT_EQ(studio_turn_off(w.s), 1);
    EXPECT_FALSE(st.on || st.modified);
    EXPECT_TRUE(studio_take_file(w.s));
    EXPECT_EQ(st.text, small_scene(4, 4));
}

// A camera moved by hand changes only the numbers it moved.
TEST_F(Studio, TheCameraMovedByHandIsWrittenIntoItsNumbers)
{
    const std::string before = st.text;
    ASSERT_TRUE(pan(w.a.model, 8, 0, 8));
    dolly(w.a.model, 1);
    const double ry = w.a.model.ry;
    studio_round_camera(w.a.model, 1u << V_RX | 1u << V_RY | 1u << V_RZ | 1u << V_DLENGTH);
    EXPECT_NEAR(w.a.model.ry, ry, 1e-6 * std::fabs(ry));
    EXPECT_EQ(w.a.model.dlength, 9); // 10 * 0.9, in seven digits
    text_edit e;
    std::string why;
    ASSERT_EQ(
        studio_camera_edit(w.s, 1u << V_RX | 1u << V_RY | 1u << V_RZ | 1u << V_DLENGTH, e, why), 1)
        << why;
    ASSERT_TRUE(apply_edit(st.text, e));
    scene back;
    msglist m;
    data_load_text(back, st.text.data(), st.text.size(), m);
    EXPECT_EQ(back.rx, w.a.model.rx);
    EXPECT_EQ(back.dlength, w.a.model.dlength);
    EXPECT_EQ(back.vpnaz, 1);
    EXPECT_LE(st.text.find('\n', st.text.find('\n') + 1), 40u); // short numbers
    // the lines after the camera are as they were
    EXPECT_EQ(st.text.substr(st.text.find("\n1\n")), before.substr(before.find("\n1\n")));
    // nothing moved: no edit
    ASSERT_EQ(studio_camera_edit(w.s, 1u << V_WDU, e, why), 1);
    EXPECT_TRUE(e.old_text.empty() && e.new_text.empty());
}

TEST(StudioPick, ViewDotsAndSilhouettes)
{
    int x, y;
    const int cases[][7] = {
        // zoom, w, h, vx, vy -> x, y
        {100, 8, 6, 3, 2, 3, 2},
        {200, 8, 6, 7, 5, 3, 2},
        {50, 8, 6, 3, 2, 6, 4},
        {400, 8, 6, 31, 23, 7, 5},
    };
    for (auto &c : cases) {
        ASSERT_TRUE(view_dot(c[0], c[1], c[2], c[3], c[4], x, y)) << c[0];
        EXPECT_EQ(x, c[5]);
        EXPECT_EQ(y, c[6]);
    }
    EXPECT_FALSE(view_dot(100, 8, 6, 8, 0, x, y));
    EXPECT_FALSE(view_dot(200, 8, 6, 0, 12, x, y));

    // a 2 x 2 block of primitive 1 in a 4 x 3 picture, at 200 %
    const std::vector<int> ids = {-1, 1, 1, -1, -1, 1, 1, 0, 0, 0, 0, 0};
    std::vector<unsigned char> d;
    int W, H;
    silhouette(ids, 4, 3, {1}, 200, d, W, H);
    ASSERT_TRUE(W == 8 && H == 6);
    EXPECT_EQ(d[0 * 8 + 1], 0);
    EXPECT_EQ(d[0 * 8 + 2], 2); // its top row is edge
    EXPECT_EQ(d[1 * 8 + 3], 1); // within
    EXPECT_EQ(d[3 * 8 + 5], 2);
    EXPECT_EQ(d[4 * 8 + 3], 0);
    silhouette(ids, 4, 3, {}, 200, d, W, H);
    EXPECT_EQ(std::count(d.begin(), d.end(), 0), 48);

    scene sc;
    sc.primmx = 2;
    sc.pri[1].type = PRIM_BOX;
    pick_hit h;
    h.index = 1;
    h.point = vec{1.5, -2, 0.25};
    EXPECT_EQ(pick_text(sc, 3, 4, h), "dot 3, 4: primitive 2 (box), met at 1.5, -2, 0.25");
    h.index = -1;
    EXPECT_EQ(pick_text(sc, 3, 4, h), "dot 3, 4: background");
}
