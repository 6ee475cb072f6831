// What the studio makes of its text, without a window: when the text is
// read (a fake clock, studio_follow.h), what a read shows (studio_doc.h:
// marks, names, hints, the next problem) and the inspector's rows.
#include "app/live/live.h"
#include "app/studio/inspector.h"
#include "app/studio/studio_doc.h"
#include "app/studio/studio_follow.h"
#include "app/studio/studio_select.h"
#include "base/msg.h"
#include "trace/render.h"

#include <gtest/gtest.h>

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
}

// The selection: the primitives the picture outlines, only while a read
// has its item.
TEST(StudioSelect, OnlyWhileTheReadHasItsItem)
{
    const auto g = read_studio_text(GROUPED, "G.RT");
    const std::string cut = std::string(GROUPED).substr(0, std::string(GROUPED).find("-1\n2 3"));
    const auto c = read_studio_text(cut, "G.RT");
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

// Next Problem: the next mark with a place after the cursor (at it, when
// nothing is selected there), round the end; none without places.
TEST(StudioDoc, NextProblemGoesOnRoundTheEnd)
{
    std::vector<studio_mark> marks(4);
    marks[0].text = "no place"; // len 0
    marks[1].at = 10, marks[1].len = 2;
    marks[2].at = 30, marks[2].len = 1;
    marks[3].at = 30, marks[3].len = 4;
    EXPECT_EQ(next_mark(marks, 0, false), 1);
    EXPECT_EQ(next_mark(marks, 10, false), 1); // at it, nothing selected
    EXPECT_EQ(next_mark(marks, 10, true), 2);  // at it, and it is selected: on
    EXPECT_EQ(next_mark(marks, 31, false), 1); // round the end
    EXPECT_EQ(next_mark({marks[0]}, 0, false), -1);
}
