// The studio's structural edits without a window: what applies to what is
// chosen, what each edit makes of the text and what it selects after, the
// refusals said before anything changes, and where a new primitive goes.
#include "app/session/command_ids.h"
#include "app/studio/studio_struct.h"
#include "app/tests/script_ui.h"
#include "scene/scenetext.h"
#include "trace/frame.h"
#include "trace/pick.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A light and four primitives, the second and third in a group.
const char *const FOUR = "0 0 0\n"
                         "0 -1 0.5\n"
                         "10 6\n"
                         "40 30\n"
                         "1\n"
                         "2 -3 9 1\n"
                         "2\n"
                         "1 1 0.3 0.6 0 0 1 1 0 0 1 1 0 0 1 0 0 0 200 100 50\n"
                         "3 1 0.2 0.7 0.4 0 20 1 0 0 1 1 1 1 1 0 0 1 40 90 210\n"
                         "2 1 0.2 0.7 0.4 0 20 1 0 0 1 1 1 1 1 0 0 1 40 90 210\n"
                         "3 1 0.2 0.7 0.4 0 20 1 0 0 1 1 1 1 1 3 0 1 40 90 210\n"
                         "-1\n"
                         "2 3 -1\n"
                         "-1\n";

constexpr int P = OUT_PRIMITIVE, L = OUT_LIGHT, G = OUT_GROUP;
const studio_selection NONE{};

std::string edited(const std::string &text, const text_edit &e)
{
    std::string t = text;
    EXPECT_TRUE(apply_edit(t, e));
    return t;
}

std::vector<std::vector<int>> groups_of(const scene &sc)
{
    std::vector<std::vector<int>> out;
    for (const csg_group &g : csg_groups(sc))
        out.push_back(g.members);
    return out;
}

} // namespace

// Each id is live for the kinds and counts of records it works on, and only
// on a text that reads to its end.
TEST(StudioStruct, WhatAppliesToWhatIsChosen)
{
    const auto r = read_studio_text(FOUR, "F.RT");
    const std::vector<int> adds = {IDM_ADD_PLANE, IDM_ADD_CONE, IDM_ADD_LIGHT};
    const struct {
        std::vector<studio_selection> chosen;
        std::vector<int> live; // besides the adds
    } rows[] = {
        {{}, {}},
        {{{P, 0}}, {IDM_DUPLICATE, IDM_DELETE, IDM_MOVE_DOWN}},
        {{{P, 1}}, {IDM_DUPLICATE, IDM_DELETE, IDM_MOVE_UP, IDM_MOVE_DOWN, IDM_REMOVE_MEMBER}},
        {{{P, 3}}, {IDM_DUPLICATE, IDM_DELETE, IDM_MOVE_UP}},
        {{{P, 0}, {P, 3}}, {IDM_DELETE, IDM_MAKE_GROUP}},
        {{{G, 0}, {P, 3}}, {IDM_DELETE, IDM_ADD_TO_GROUP}},
        {{{G, 0}, {P, 2}}, {IDM_DELETE, IDM_REMOVE_MEMBER}},
        {{{G, 0}}, {IDM_UNGROUP}},
        {{{L, 0}}, {IDM_DUP_LIGHT, IDM_DEL_LIGHT}},
        {{{P, 9}, {L, 4}}, {}}, // not in this text
    };
    for (const auto &row : rows) {
        struct_target t;
        t.chosen = row.chosen;
        for (int id = IDM_ADD_PLANE; id <= IDM_UNGROUP; id++) {
            const bool want = std::count(row.live.begin(), row.live.end(), id) ||
                              (id >= IDM_ADD_PLANE && id <= IDM_ADD_CONE) || id == IDM_ADD_LIGHT;
            EXPECT_EQ(struct_applies(*r, id, t), want) << id << " of " << row.chosen.size();
        }
    }
    const auto cut = read_studio_text(std::string(FOUR).substr(0, 120), "F.RT");
    for (int id : adds)
        EXPECT_FALSE(struct_applies(*cut, id, {}));
}

// Every edit reads back as meant, and selects the record it made or the
// neighbour of the one it took out.
TEST(StudioStruct, EachEditAndWhatIsSelectedAfter)
{
    const auto r = read_studio_text(FOUR, "F.RT");
    const struct {
        int id;
        std::vector<studio_selection> chosen;
        int prims, lights;
        std::vector<std::vector<int>> groups;
        studio_selection then;
    } rows[] = {
        {IDM_ADD_PLANE + 2, {}, 5, 1, {{1, 2}}, {P, 4}},
        {IDM_DUPLICATE, {{P, 1}}, 5, 1, {{1, 3}}, {P, 2}},
        {IDM_DELETE, {{P, 3}}, 3, 1, {{1, 2}}, {P, 2}},
        {IDM_DELETE, {{P, 2}, {P, 0}}, 2, 1, {}, {P, 0}},
        {IDM_MOVE_UP, {{P, 3}}, 4, 1, {{1, 3}}, {P, 2}},
        {IDM_MOVE_DOWN, {{P, 0}}, 4, 1, {{0, 2}}, {P, 1}},
        {IDM_ADD_LIGHT, {}, 4, 2, {{1, 2}}, {L, 1}},
        {IDM_DUP_LIGHT, {{L, 0}}, 4, 2, {{1, 2}}, {L, 1}},
        {IDM_DEL_LIGHT, {{L, 0}}, 4, 0, {{1, 2}}, NONE},
        {IDM_MAKE_GROUP, {{P, 3}, {P, 0}}, 4, 1, {{0, 3}, {1, 2}}, {G, 0}},
        {IDM_ADD_TO_GROUP, {{G, 0}, {P, 3}}, 4, 1, {{1, 2, 3}}, {G, 0}},
        {IDM_REMOVE_MEMBER, {{P, 2}}, 4, 1, {}, {P, 2}},
        {IDM_UNGROUP, {{G, 0}}, 4, 1, {}, {P, 1}},
    };
    for (const auto &row : rows) {
        scripted w;
        struct_target t;
        t.chosen = row.chosen;
        struct_result out;
        ASSERT_EQ(struct_edit(w.s, *r, row.id, t, out), 1) << row.id;
        const auto now = read_scene_text(edited(FOUR, out.edit));
        EXPECT_EQ(now->sc.primmx, row.prims) << row.id;
        EXPECT_EQ(now->sc.nlg, row.lights) << row.id;
        EXPECT_EQ(groups_of(now->sc), row.groups) << row.id;
        EXPECT_TRUE(out.then == row.then)
            << row.id << ": " << out.then.kind << " " << out.then.index;
        EXPECT_TRUE(w.ui.statuses.empty()) << row.id;
    }
}

// A copy taken out again gives back the bytes; a new primitive stands at
// the point asked for, or at the look point, a tenth of the view across
// there; a new light at the eye.
TEST(StudioStruct, CopiesComeBackAndNewRecordsGoWhereAsked)
{
    scripted w;
    struct_result a, b;
    const auto r = read_studio_text(FOUR, "F.RT");
    ASSERT_TRUE(struct_edit(w.s, *r, IDM_DUPLICATE, {{{P, 1}}}, a));
    const std::string copied = edited(FOUR, a.edit);
    ASSERT_TRUE(struct_edit(w.s, *read_studio_text(copied, "F.RT"), IDM_DELETE, {{a.then}}, b));
    EXPECT_EQ(edited(copied, b.edit), FOUR);
    EXPECT_EQ(edited(edited(copied, b.edit), undo_of(b.edit)), copied);

    struct_target there;
    there.at_point = true;
    there.at = vec{1.5, 2, 0};
    ASSERT_TRUE(struct_edit(w.s, *r, IDM_ADD_PLANE + 1, there, a)); // a box
    const scene added = read_scene_text(edited(FOUR, a.edit))->sc;
    EXPECT_EQ(added.pri[4].type, PRIM_BOX);
    EXPECT_EQ(added.pri[4].pos.x, 1.5);
    EXPECT_EQ(added.pri[4].pos.y, 2);
    ASSERT_TRUE(struct_edit(w.s, *r, IDM_ADD_PLANE + 2, {}, a)); // a sphere at the look point
    const scene ball = read_scene_text(edited(FOUR, a.edit))->sc;
    EXPECT_EQ(ball.pri[4].pos.x, 0);
    EXPECT_NEAR(ball.pri[4].geom.x, 1 / (0.6 * 0.6), 1e-9); // 6 across: 0.6
    ASSERT_TRUE(struct_edit(w.s, *r, IDM_ADD_LIGHT, {}, a));
    const scene lit = read_scene_text(edited(FOUR, a.edit))->sc;
    const double k = 10 / std::sqrt(1.25);
    EXPECT_NEAR(lit.lig[1].pos.y, -k, 1e-6);
    EXPECT_NEAR(lit.lig[1].pos.z, 0.5 * k, 1e-6);
}

// The limits, and what does not apply, are said and change nothing.
TEST(StudioStruct, RefusalsAreSaidFirst)
{
    std::string full = FOUR;
    const std::string rec = "2 1 0.2 0.7 0.4 0 20 1 0 0 1 1 1 1 1 0 0 1 40 90 210\n";
    const size_t end = full.find("-1\n2 3");
    for (int i = 4; i < PRIM_MAX; i++)
        full.insert(end, rec);
    const auto r = read_studio_text(full, "F.RT");
    ASSERT_EQ(r->sc.primmx, PRIM_MAX);
    struct_target many;
    for (int i = 0; i <= MEMBER_MAX; i++)
        many.chosen.push_back({P, i});
    const struct {
        int id;
        struct_target t;
    } rows[] = {{IDM_ADD_PLANE, {}},
                {IDM_DUPLICATE, {{{P, 0}}}},
                {IDM_MAKE_GROUP, many},
                {IDM_UNGROUP, {{{P, 0}}}}};
    for (const auto &row : rows) {
        scripted w;
        struct_result out;
        EXPECT_EQ(struct_edit(w.s, *r, row.id, row.t, out), 0) << row.id;
        ASSERT_EQ(w.ui.statuses.size(), 1u) << row.id;
        EXPECT_FALSE(w.ui.statuses[0].empty());
        EXPECT_TRUE(out.edit.old_text.empty() && out.edit.new_text.empty());
    }
}

// On background the new primitive goes where the dot's ray is as far from
// the eye, along the view, as the look point.
TEST(StudioStruct, ThePointUnderTheMouse)
{
    const auto r = read_studio_text(FOUR, "F.RT");
    frame f;
    ASSERT_TRUE(make_frame(r->sc, 0, f));
    pick_hit h; // background
    const vec p = struct_point(r->sc, f, 0, 0, h);
    vec rel;
    EXPECT_NEAR(-vspro(vsub(rel, p, f.eye[0]), f.dir), 10, 1e-9);
    h.index = 1;
    h.point = vec{1, 2, 3};
    EXPECT_EQ(struct_point(r->sc, f, 0, 0, h).y, 2);
}
