// The scene shaped with the mouse and keys in studio view, without a
// window: what a press grabs, the point under the mouse kept under it,
// the one edit a drag, a nudge or a notch becomes and the numbers it
// changes, the step, and the axes the keys move along.
#include "app/studio/studio.h"
#include "app/studio/studio_doc.h"
#include "app/studio/studio_drag.h"
#include "app/studio/studio_nudge.h"
#include "app/studio/studio_select.h"
#include "app/tests/script_ui.h"
#include "base/msg.h"
#include "scene/fields.h"
#include "scene/rtread.h"
#include "trace/drag.h"
#include "trace/pick.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A floor, a ball, a group of two boxes (where they meet), two lights;
// seen from the front and above, 80 x 60 dots.
const char *const SHAPES = "0 0 0\n"
                           "0 -1 0.5\n"
                           "10 8\n"
                           "80 60\n"
                           "2\n"
                           "2 -3 9 1\n"
                           "-2 -1 1.5 0.5\n"
                           "4\n"
                           "1 1 0.3 0.6 0 0 1 1 0 0 1 1 0 0 1 0 0 0 200 100 50\n"
                           "3 1 0.2 0.7 0.4 0 20 1 0 0 1 1 1 1 1 0 0 1 40 90 210\n"
                           "2 1 0.2 0.7 0.4 0 20 1 0 0 1 1 0.5 0.5 0.5 2.5 0 0.5 200 200 40\n"
                           "2 1 0.2 0.7 0.4 0 20 1 0 0 1 1 0.6 0.6 0.5 2.5 0 0.75 200 200 40\n"
                           "-1\n"
                           "3 4 -1\n"
                           "-1\n";

scene read_text(const std::string &text)
{
    scene sc;
    msglist m;
    data_load_text(sc, text.data(), text.size(), m);
    return sc;
}

struct Shaping : ::testing::Test {
    scripted w;
    studio_drag d;
    void SetUp() override
    {
        w.s.studio.on = true;
        w.s.studio.text = SHAPES;
        msglist m;
        ASSERT_EQ(studio_follow_text(w.s, m), FOLLOWED_READ);
        w.a.rt_ready = 1;
        w.a.image_ready = 1;
        w.a.made_scene = std::make_shared<const scene>(w.a.model);
        ASSERT_TRUE(make_frame(w.a.model, 0, w.a.made_frame));
        w.d.zoom_size = 100;
    }
    std::unique_ptr<studio_reading> reading() const
    {
        return read_studio_text(w.s.studio.text, "S.RT");
    }
    // The middle of a dot of the picture showing primitive i (or the one after it).
    bool dot_showing(int i, double &vx, double &vy, int or_next = 0) const
    {
        for (int y = 0; y < 60; y++)
            for (int x = 0; x < 80; x++) {
                pick_hit h;
                if (pick_dot(*w.a.made_scene, w.a.made_frame, x, y, h) && h.index >= i &&
                    h.index <= i + or_next) {
                    vx = x + 0.5, vy = y + 0.5;
                    return true;
                }
            }
        return false;
    }
    bool press(studio_selection sel, double vx, double vy)
    {
        return drag_press(w.s, *reading(), sel, false, vx, vy, d);
    }
    // The edit made into the text; what the reader reads of it.
    scene apply(const text_edit &e)
    {
        EXPECT_TRUE(apply_edit(w.s.studio.text, e));
        return read_text(w.s.studio.text);
    }
};

// Every number of b is a's but for the positions of the records moved.
void expect_only_moved(const scene &a, const scene &b, const std::vector<record_ref> &moved)
{
    for (int sec : {SEC_LIGHT, SEC_PRIM})
        for (int i = 0; i < (sec == SEC_PRIM ? a.primmx : a.nlg); i++)
            for (int k = 0; k < (sec == SEC_PRIM ? (int)PRIM_FIELDS : (int)LIGHT_FIELDS); k++) {
                const field_ref f{sec, i, k};
                const int first = sec == SEC_PRIM ? (int)P_PX : (int)L_X;
                bool is_moved = false;
                for (const record_ref &r : moved)
                    is_moved |= r.sec == sec && r.index == i && k >= first && k < first + 3;
                if (!is_moved) {
                    EXPECT_EQ(field_number(a, f), field_number(b, f)) << field_text(f);
                }
            }
}

} // namespace

// A press grabs a light's marker or what is selected where the dot shows
// it, nothing else; a group's member grabs the group.
TEST_F(Shaping, APressGrabsTheSelectionUnderTheMouse)
{
    double bx, by, fx, fy, gx, gy;
    ASSERT_TRUE(dot_showing(1, bx, by) && dot_showing(0, fx, fy) && dot_showing(2, gx, gy, 1));
    EXPECT_FALSE(press({}, bx, by));                   // nothing selected: the camera's
    EXPECT_FALSE(press({OUT_PRIMITIVE, 0}, bx, by));   // another primitive selected
    EXPECT_FALSE(press({OUT_PRIMITIVE, 1}, fx, fy));   // the ball selected, the floor pressed
    EXPECT_FALSE(press({OUT_PRIMITIVE, 1}, 500, 500)); // beyond the picture
    ASSERT_TRUE(press({OUT_PRIMITIVE, 1}, bx, by));
    EXPECT_EQ(d.records.size(), 1u);
    EXPECT_EQ(d.name, "primitive 2 (quadric)");
    const auto groups = csg_groups(w.a.model);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_FALSE(press({OUT_GROUP, 0}, bx, by));
    ASSERT_TRUE(press({OUT_GROUP, 0}, gx, gy));
    EXPECT_EQ(d.records.size(), 2u); // both members
    EXPECT_EQ(d.name, "group 3 4");

    // the first light is beyond the picture's top right: its marker in the corner
    const std::vector<light_mark> marks = light_marks(w.a.model, w.a.made_frame, 100);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_TRUE(marks[0].edge && marks[0].vx == 80 - MARK_GRAB && marks[0].vy == MARK_GRAB);
    EXPECT_FALSE(marks[1].edge);
    ASSERT_TRUE(press({}, marks[0].vx - 2, marks[0].vy + 2));
    EXPECT_EQ(d.index, 0);
    ASSERT_TRUE(drag_to(w.s, d, 40, 30, false)); // taken in: it comes to the mouse
    double x, y;
    ASSERT_TRUE(dot_of_point(w.a.made_frame, 0, w.a.model.lig[0].pos, x, y));
    EXPECT_NEAR(x, 40, 1e-9);
    EXPECT_NEAR(y, 30, 1e-9);
    ASSERT_TRUE(press({}, marks[1].vx + 2, marks[1].vy - 2));
    EXPECT_EQ(d.kind, OUT_LIGHT);
    EXPECT_EQ(d.index, 1);

    // a light at the eye (as Add Light puts it) is marked where the look
    // point shows, and comes to the mouse from the look point's depth
    scene at_eye = *w.a.made_scene;
    at_eye.lig[1].pos = w.a.made_frame.eye[0];
    w.a.model = at_eye;
    w.a.made_scene = std::make_shared<const scene>(at_eye);
    const std::vector<light_mark> cm = light_marks(at_eye, w.a.made_frame, 100);
    ASSERT_EQ(cm.size(), 2u);
    const light_mark c = cm[1];
    double lx, ly;
    ASSERT_TRUE(dot_of_point(w.a.made_frame, 0, w.a.made_frame.look, lx, ly));
    EXPECT_TRUE(c.edge && c.vx == lx && c.vy == ly);
    ASSERT_TRUE(press({}, c.vx, c.vy));
    ASSERT_TRUE(drag_to(w.s, d, 20, 15, false));
    ASSERT_TRUE(dot_of_point(w.a.made_frame, 0, w.a.model.lig[1].pos, x, y));
    EXPECT_NEAR(x, 20, 1e-9);
    EXPECT_NEAR(y, 15, 1e-9);
    w.s.studio.lights = false; // the markers hidden: nothing to grab
    EXPECT_FALSE(press({}, marks[1].vx, marks[1].vy));
}

// The point pressed stays under the mouse across the screen, and along its
// ray with Shift; the model follows for the preview, and the release puts
// it back and gives one edit of the pos numbers alone.
TEST_F(Shaping, ADragMovesWhatItGrabbedAsOneEdit)
{
    double bx, by;
    ASSERT_TRUE(dot_showing(2, bx, by, 1));
    const scene before = w.a.model;
    const frame &f = w.a.made_frame;
    ASSERT_TRUE(press({OUT_GROUP, 0}, bx, by));
    EXPECT_FALSE(drag_to(w.s, d, bx + 2, by + 1, false)); // within the slop: a click yet
    for (int step = 1; step <= 4; step++)
        ASSERT_TRUE(drag_to(w.s, d, bx + 5 * step, by - 3 * step, false));
    double x, y, x1, y1; // the point pressed went where the mouse went
    const vec at{d.at.x + d.by.x, d.at.y + d.by.y, d.at.z + d.by.z};
    ASSERT_TRUE(dot_of_point(f, 0, d.at, x, y) && dot_of_point(f, 0, at, x1, y1));
    EXPECT_NEAR(x1, x + 20, 1e-9);
    EXPECT_NEAR(y1, y - 12, 1e-9);
    const vec moved = d.by;
    EXPECT_DOUBLE_EQ(w.a.model.pri[2].pos.x, before.pri[2].pos.x + moved.x); // both members
    EXPECT_DOUBLE_EQ(w.a.model.pri[3].pos.z, before.pri[3].pos.z + moved.z);

    text_edit e;
    std::string why;
    ASSERT_EQ(drag_release(w.s, d, e, why), 1) << why;
    EXPECT_FALSE(d.grabbed());
    EXPECT_EQ(w.a.model.pri[2].pos.x, before.pri[2].pos.x); // the text's again
    const scene after = apply(e);
    expect_only_moved(before, after, {{SEC_PRIM, 2}, {SEC_PRIM, 3}});
    EXPECT_NEAR(after.pri[2].pos.x, before.pri[2].pos.x + moved.x, 1e-6);
    EXPECT_NEAR(after.pri[3].pos.y, before.pri[3].pos.y + moved.y, 1e-6);
    EXPECT_NE(w.ui.statuses.back().find("group"), std::string::npos);

    // with Shift, DEPTH_DOTS up: twice as far from the eye, on the same ray
    const std::vector<light_mark> marks = light_marks(w.a.model, f, 100);
    ASSERT_EQ(marks.size(), 2u);
    const light_mark m = marks[1];
    ASSERT_TRUE(press({}, m.vx, m.vy));
    ASSERT_TRUE(drag_to(w.s, d, m.vx, m.vy - DEPTH_DOTS, true));
    const vec l = w.a.model.lig[1].pos, e0 = f.eye[0], l0 = before.lig[1].pos;
    EXPECT_NEAR(std::hypot(l.x - e0.x, l.y - e0.y, l.z - e0.z),
                2 * std::hypot(l0.x - e0.x, l0.y - e0.y, l0.z - e0.z), 1e-9);
    ASSERT_TRUE(dot_of_point(f, 0, l, x, y));
    EXPECT_NEAR(x, m.vx, 1e-9);
    EXPECT_NEAR(y, m.vy, 1e-9);
    const std::string moved_text = w.s.studio.text;
    w.s.studio.text += " "; // typed meanwhile: the drag's numbers are stale
    EXPECT_EQ(drag_release(w.s, d, e, why), 0);
    EXPECT_EQ(why, "the text changed during the drag");
    EXPECT_EQ(w.a.model.lig[1].pos.z, l0.z);
    w.s.studio.text = moved_text;
    ASSERT_TRUE(press({}, m.vx, m.vy)); // a click moves nothing
    EXPECT_EQ(drag_release(w.s, d, e, why), 0);
    EXPECT_TRUE(why.empty());
}

// The keys move by round steps along one axis of the scene each, the wheel
// scales keeping proportions; each is one edit, a plane has no size.
TEST_F(Shaping, NudgesAndNotchesAreOneEditEach)
{
    EXPECT_EQ(nudge_step(w.a.model), 0.05); // the ball and boxes: 4.1 across
    text_edit e;
    std::string why;
    const scene before = w.a.model;
    ASSERT_EQ(nudge_edit(w.s, *reading(), {OUT_GROUP, 0}, NUDGE_RIGHT, true, e, why), 1) << why;
    scene after = apply(e);
    expect_only_moved(before, after, {{SEC_PRIM, 2}, {SEC_PRIM, 3}});
    EXPECT_EQ(after.pri[2].pos.x, 3);
    EXPECT_EQ(after.pri[3].pos.x, 3);
    EXPECT_EQ(w.ui.statuses.back(), "group 3 4 moved by 0.5, 0, 0 (a step: 0.05, Shift: 0.5)");
    ASSERT_EQ(nudge_edit(w.s, *reading(), {OUT_LIGHT, 1}, NUDGE_UP, false, e, why), 1);
    EXPECT_EQ(apply(e).lig[1].pos.z, 1.55);
    EXPECT_EQ(nudge_edit(w.s, *reading(), {OUT_CAMERA, 0}, NUDGE_UP, false, e, why), 0);
    EXPECT_TRUE(why.empty()); // the camera's own keys

    ASSERT_EQ(size_edit(w.s, *reading(), 2, 2, e, why), 1) << why;
    after = apply(e);
    EXPECT_EQ(after.pri[2].geom.x, 0.605);
    EXPECT_EQ(after.pri[2].geom.z, 0.605);
    EXPECT_EQ(size_edit(w.s, *reading(), 0, 1, e, why), 0);
    EXPECT_NE(w.ui.statuses.back().find("a plane has no size"), std::string::npos);
}

TEST(StudioNudge, StepsFollowTheSceneAndKeysTheScreen)
{
    struct {
        const char *prims; // records after the view, lights and count
        double step;
    } steps[] = {
        {"1\n1 1 0.3 0.6 0 0 1 1 0 0 1 1 0 0 1 0 0 0 1 1 1\n", 0.1}, // a plane: the view's 8
        {"2\n3 1 0 0 0 0 1 1 0 0 1 1 1 1 1 0 0 0 1 1 1\n"
         "2 1 0 0 0 0 1 1 0 0 1 1 1 1 1 10 0 0 1 1 1\n",
         0.2},                                                    // 12 across
        {"1\n2 1 0 0 0 0 1 1 0 0 1 1 500 1 1 0 0 0 1 1 1\n", 20}, // 1000
        {"1\n3 1 0 0 0 0 1 1 0 0 1 1 0.01 0.01 0.01 5 5 5 1 1 1\n", 0.0002},
    };
    for (const auto &c : steps) {
        const scene sc =
            read_text(std::string("0 0 0\n0 -1 0\n10 8\n8 6\n0\n") + c.prims + "-1\n-1\n");
        EXPECT_EQ(nudge_step(sc), c.step) << c.prims;
    }

    // the screen's right, up and into it, each on an axis of its own
    struct {
        double dir[3];
        int right, up, in; // axis and sign: 1 = +x, -2 = -y ...
    } views[] = {
        {{0, -1, 0.5}, 1, 3, 2},   // from the front, above
        {{1, 0, 0}, 2, 3, -1},     // from +x
        {{1, 0.5, 1}, 2, 3, -1},   // from a corner, above: up takes z, the rest apart
        {{0, 0.2, 1}, -1, -2, -3}, // from above, its top towards -y
    };
    for (const auto &v : views) {
        scene sc;
        sc.vpnax = v.dir[0], sc.vpnay = v.dir[1], sc.vpnaz = v.dir[2];
        sc.dlength = 10, sc.wdu = 8, sc.ixmx = 8, sc.iymx = 6;
        frame f;
        ASSERT_TRUE(make_frame(sc, 0, f));
        int got[3];
        for (int k = 0; k < 3; k++) {
            const vec m = nudge_move(f, k == 0 ? NUDGE_RIGHT : k == 1 ? NUDGE_UP : NUDGE_AWAY, 1);
            const double c[3] = {m.x, m.y, m.z};
            got[k] = 0;
            for (int a = 0; a < 3; a++)
                if (c[a] != 0)
                    got[k] = c[a] > 0 ? a + 1 : -(a + 1);
            const vec back = nudge_move(f,
                                        k == 0   ? NUDGE_LEFT
                                        : k == 1 ? NUDGE_DOWN
                                                 : NUDGE_NEAR,
                                        1);
            EXPECT_TRUE(back.x == -m.x && back.y == -m.y && back.z == -m.z);
        }
        EXPECT_EQ(got[0], v.right) << v.dir[0] << " " << v.dir[1] << " " << v.dir[2];
        EXPECT_EQ(got[1], v.up);
        EXPECT_EQ(got[2], v.in);
    }
}
