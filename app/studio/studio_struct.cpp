#include "app/studio/studio_struct.h"

#include "app/session/command_ids.h"
#include "app/session/say.h"
#include "scene/numin.h"
#include "scene/rtwrite.h"
#include "scene/structedit.h"
#include "scene/textruns.h"
#include "trace/frame.h"
#include "trace/pick.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double SIZE_PART = 10; // a new primitive is a tenth of the view across
constexpr double NEW_BRIGHT = 1; // a new light's brightness

// What is chosen, by kind, each once and only as the read has it.
struct chosen_sets {
    std::vector<int> prims, lights, groups;
};

chosen_sets sets_of(const studio_reading &r, const struct_target &t)
{
    chosen_sets c;
    for (const studio_selection &s : t.chosen) {
        std::vector<int> *into = s.kind == OUT_PRIMITIVE ? &c.prims
                                 : s.kind == OUT_LIGHT   ? &c.lights
                                 : s.kind == OUT_GROUP   ? &c.groups
                                                         : nullptr;
        if (into && selected_item(r, s) >= 0 &&
            std::find(into->begin(), into->end(), s.index) == into->end())
            into->push_back(s.index);
    }
    return c;
}

bool has(const std::vector<int> &v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

// The list of the group section (0-based) that makes group g: the last
// that names the primitive whose partners the group is.
int section_list(const studio_reading &r, const csg_group &g)
{
    int list = -1;
    for (const text_number &n : r.st.numbers)
        if (n.kind == NUM_MEMBER && n.value - 1 == g.from)
            list = n.group - 1;
    return list;
}

// The group a member is taken out of: the one chosen, else the first
// that has it; -1 when none does.
int group_of_member(const std::vector<csg_group> &groups, const chosen_sets &c)
{
    if (c.prims.size() != 1 || c.groups.size() > 1)
        return -1;
    for (size_t g = 0; g < groups.size(); g++)
        if ((c.groups.empty() || c.groups[0] == (int)g) && has(groups[g].members, c.prims[0]))
            return (int)g;
    return -1;
}

vec look_point(const scene &sc) { return vec{sc.rx, sc.ry, sc.rz}; }

// The unit direction from the look point to the eye; false when it has none.
bool to_eye(const scene &sc, vec &out)
{
    const vec d{sc.vpnax, sc.vpnay, sc.vpnaz};
    const double n = vlength(d);
    if (!(n > 0) || !std::isfinite(n))
        return false;
    vdiv(out, d, n);
    return true;
}

vec eye_point(const scene &sc)
{
    vec d, e;
    if (!to_eye(sc, d) || !std::isfinite(sc.dlength))
        return look_point(sc);
    vmul(e, d, sc.dlength);
    return vadd(e, look_point(sc), e);
}

// A tenth of the view across at at's distance from the eye, to one
// significant digit.
double new_size(const scene &sc, const vec &at)
{
    double s = sc.wdu / SIZE_PART;
    vec d, rel;
    if (to_eye(sc, d) && sc.dlength > 0) {
        const double depth = vspro(vsub(rel, eye_point(sc), at), d);
        if (depth > 0)
            s = sc.wdu * (depth / sc.dlength) / SIZE_PART;
    }
    return std::isfinite(s) && s > 0 ? c_strtod(digits_text(s, 1).c_str(), nullptr) : 1.0;
}

using edit_fn = std::function<int(const std::string &, text_edit &, std::string &)>;

// Makes each edit in turn; false with why at the first one refused.
bool make_all(std::string &text, const std::vector<edit_fn> &fns, std::string &why)
{
    for (const edit_fn &f : fns) {
        text_edit e;
        if (!f(text, e, why))
            return false;
        apply_edit(text, e);
    }
    return true;
}

// The group of text whose members are these; -1 when none is.
int group_with(const std::string &text, std::vector<int> members)
{
    std::sort(members.begin(), members.end());
    members.erase(std::unique(members.begin(), members.end()), members.end());
    const std::vector<csg_group> groups = csg_groups(read_scene_text(text)->sc);
    for (size_t g = 0; g < groups.size(); g++)
        if (groups[g].members == members)
            return (int)g;
    return -1;
}

// The neighbour after the first of n records taken out of count, or the
// one before at the end; none when none is left.
studio_selection neighbour(int kind, int first, int taken, int count)
{
    const int left = count - taken;
    return left > 0 ? studio_selection{kind, std::min(first, left - 1)} : studio_selection{};
}

// The primitives' and lights' edits: the steps and what is selected after.
bool record_steps(const studio_reading &r, int id, const struct_target &t, const chosen_sets &c,
                  std::vector<edit_fn> &fns, studio_selection &then)
{
    const scene &sc = r.sc;
    using namespace std::placeholders;
    if (id >= IDM_ADD_PLANE && id <= IDM_ADD_CONE) {
        const vec at = t.at_point ? t.at : look_point(sc);
        const prim_numbers rec = new_primitive(id - IDM_ADD_PLANE, at, new_size(sc, at));
        fns.push_back(std::bind(add_primitive, _1, rec, _2, _3));
        then = {OUT_PRIMITIVE, sc.primmx};
        return true;
    }
    const int p = c.prims.empty() ? -1 : c.prims[0], l = c.lights.empty() ? -1 : c.lights[0];
    switch (id) {
    case IDM_DUPLICATE:
        fns.push_back(std::bind(duplicate_primitive, _1, p, _2, _3));
        then = {OUT_PRIMITIVE, p + 1};
        return true;
    case IDM_DELETE: {
        std::vector<int> gone = c.prims;
        std::sort(gone.rbegin(), gone.rend()); // the last first: the others keep their numbers
        for (int i : gone)
            fns.push_back(std::bind(delete_primitive, _1, i, _2, _3));
        then = neighbour(OUT_PRIMITIVE, gone.back(), (int)gone.size(), sc.primmx);
        return true;
    }
    case IDM_MOVE_UP:
    case IDM_MOVE_DOWN: {
        const int step = id == IDM_MOVE_UP ? -1 : 1;
        fns.push_back(std::bind(shift_primitive, _1, p, step, _2, _3));
        then = {OUT_PRIMITIVE, p + step};
        return true;
    }
    case IDM_ADD_LIGHT:
        fns.push_back(std::bind(add_light, _1, new_light(eye_point(sc), NEW_BRIGHT), _2, _3));
        then = {OUT_LIGHT, std::max(sc.nlg, 0)};
        return true;
    case IDM_DUP_LIGHT:
        fns.push_back(std::bind(duplicate_light, _1, l, _2, _3));
        then = {OUT_LIGHT, l + 1};
        return true;
    case IDM_DEL_LIGHT:
        fns.push_back(std::bind(delete_light, _1, l, _2, _3));
        then = neighbour(OUT_LIGHT, l, 1, sc.nlg);
        return true;
    }
    return false;
}

// The groups' edits, made on text; why when one is refused.
bool group_edit(const studio_reading &r, int id, const chosen_sets &c, std::string &text,
                studio_selection &then, std::string &why)
{
    using namespace std::placeholders;
    const std::vector<csg_group> groups = csg_groups(r.sc);
    std::vector<edit_fn> fns;
    std::vector<int> members = c.prims; // of the group selected after
    const int g = id == IDM_REMOVE_MEMBER ? group_of_member(groups, c)
                  : c.groups.empty()      ? -1
                                          : c.groups[0];
    const int list = g < 0 ? -1 : section_list(r, groups[g]);
    switch (id) {
    case IDM_MAKE_GROUP:
        std::sort(members.begin(), members.end());
        fns.push_back(std::bind(make_group, _1, members, _2, _3));
        break;
    case IDM_ADD_TO_GROUP:
        for (int p : c.prims)
            if (!has(groups[g].members, p))
                fns.push_back(std::bind(add_to_group, _1, list, p, _2, _3));
        members.insert(members.end(), groups[g].members.begin(), groups[g].members.end());
        break;
    case IDM_REMOVE_MEMBER:
        fns.push_back(std::bind(remove_from_group, _1, list, c.prims[0], _2, _3));
        then = {OUT_PRIMITIVE, c.prims[0]};
        break;
    case IDM_UNGROUP:
        fns.push_back(std::bind(ungroup, _1, list, _2, _3));
        then = {OUT_PRIMITIVE, groups[g].members[0]};
        break;
    }
    if (!make_all(text, fns, why))
        return false;
    if (id == IDM_MAKE_GROUP || id == IDM_ADD_TO_GROUP) {
        const int made = group_with(text, members);
        then = made >= 0 ? studio_selection{OUT_GROUP, made} : studio_selection{};
    }
    return true;
}

} // namespace

bool struct_applies(const studio_reading &r, int id, const struct_target &t)
{
    if (!r.complete)
        return false;
    const chosen_sets c = sets_of(r, t);
    const bool one_prim = c.prims.size() == 1 && c.groups.empty() && c.lights.empty();
    const bool one_light = c.lights.size() == 1 && c.prims.empty() && c.groups.empty();
    switch (id) {
    case IDM_ADD_LIGHT:
        return true;
    case IDM_DUPLICATE:
        return one_prim;
    case IDM_DELETE:
        return !c.prims.empty();
    case IDM_MOVE_UP:
        return one_prim && c.prims[0] > 0;
    case IDM_MOVE_DOWN:
        return one_prim && c.prims[0] < r.sc.primmx - 1;
    case IDM_DUP_LIGHT:
    case IDM_DEL_LIGHT:
        return one_light;
    case IDM_MAKE_GROUP:
        return c.prims.size() >= 2 && c.groups.empty();
    case IDM_ADD_TO_GROUP:
        if (c.groups.size() != 1)
            return false;
        for (int p : c.prims)
            if (!has(csg_groups(r.sc)[c.groups[0]].members, p))
                return true;
        return false;
    case IDM_REMOVE_MEMBER:
        return group_of_member(csg_groups(r.sc), c) >= 0;
    case IDM_UNGROUP:
        return c.groups.size() == 1 && c.prims.empty();
    }
    return id >= IDM_ADD_PLANE && id <= IDM_ADD_CONE;
}

int struct_edit(session &s, const studio_reading &r, int id, const struct_target &t,
                struct_result &out)
{
    if (!struct_applies(r, id, t)) {
        say(s, r.complete ? "Choose what to change first: nothing chosen is of that kind."
                          : "The text stops before its primitive list ends: finish it first.");
        return 0;
    }
    const chosen_sets c = sets_of(r, t);
    std::string text = r.text, why;
    std::vector<edit_fn> fns;
    bool made;
    if (record_steps(r, id, t, c, fns, out.then))
        made = make_all(text, fns, why);
    else
        made = group_edit(r, id, c, text, out.then, why);
    if (!made) {
        say(s, why);
        return 0;
    }
    out.edit = edit_between(r.text, text);
    return 1;
}

vec struct_point(const scene &sc, const frame &f, int x, int y, const pick_hit &h)
{
    if (h.index >= 0)
        return h.point;
    vec dir, ahead, at;
    make_eye(dir, f.eye[h.eye], x, y, f);
    const double along = -vspro(dir, f.dir); // f.dir points from the look point to the eye
    if (!(along > 0) || !(sc.dlength > 0))
        return look_point(sc);
    vmul(ahead, dir, sc.dlength / along);
    return vadd(at, f.eye[h.eye], ahead);
}
