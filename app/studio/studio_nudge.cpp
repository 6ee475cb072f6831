#include "app/studio/studio_nudge.h"

#include "app/session/say.h"
#include "app/session/session.h"
#include "app/studio/studio_doc.h"
#include "app/studio/studio_select.h"
#include "scene/rtwrite.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double SIZE_PARTS = 50; // a step is about this part of the scene's size
constexpr double SIZE_FAR = 1e12; // farther or larger is no size to step by

// How far primitive p reaches from its pos along each axis; 0 where it
// has no bound.
vec reach(const primrec &p)
{
    const double g[3] = {p.geom.x, p.geom.y, p.geom.z};
    double r[3] = {0, 0, 0};
    for (int c = 0; c < 3; c++) {
        if (p.type == PRIM_BOX)
            r[c] = std::abs(g[c]);
        else if (p.type == PRIM_QUADRIC && g[c] > 0)
            r[c] = 1 / std::sqrt(g[c]);
        if (!(r[c] < SIZE_FAR))
            r[c] = 0;
    }
    return {r[0], r[1], r[2]};
}

// The largest of 1, 2 and 5 times a power of ten at or below x > 0,
// exactly as its decimal reads (5 / 100 is 0.05, not 5 * 0.01).
double round_step(double x)
{
    const double e = std::floor(std::log10(x));
    const double ten = std::pow(10.0, std::abs(e));
    const double m = e < 0 ? x * ten : x / ten;
    const double lead = m >= 5 ? 5 : m >= 2 ? 2 : 1;
    return e < 0 ? lead / ten : lead * ten;
}

double component(const vec &v, int c) { return c == 0 ? v.x : c == 1 ? v.y : v.z; }

// The scene's axis (0, 1, 2) and its sign for each of the screen's right,
// up and inward directions: the three apart, as near as they can be.
void screen_axes(const frame &f, int axis[3], double sign[3])
{
    const vec dirs[3] = {f.uvec, f.vvec, vec{-f.dir.x, -f.dir.y, -f.dir.z}};
    static const int ORDERS[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2},
                                     {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    double best = -1;
    for (const auto &o : ORDERS) {
        double fit = 0;
        for (int k = 0; k < 3; k++)
            fit += std::abs(component(dirs[k], o[k]));
        if (fit > best) {
            best = fit;
            std::copy(o, o + 3, axis);
        }
    }
    for (int k = 0; k < 3; k++)
        sign[k] = component(dirs[k], axis[k]) < 0 ? -1 : 1;
}

} // namespace

std::vector<record_ref> selected_records(const studio_reading &r, const studio_selection &sel)
{
    std::vector<record_ref> out;
    if (sel.kind == OUT_LIGHT && selected_item(r, sel) >= 0)
        out.push_back(record_ref{SEC_LIGHT, sel.index});
    for (int i : selected_primitives(r, sel))
        out.push_back(record_ref{SEC_PRIM, i});
    return out;
}

double nudge_step(const scene &sc)
{
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (int i = 0; i < sc.primmx && i < PRIM_MAX; i++) {
        const primrec &p = sc.pri[i];
        if (p.type == PRIM_PLANE || !known_type(p.type))
            continue;
        const vec r = reach(p);
        for (int c = 0; c < 3; c++) {
            const double at = component(p.pos, c), by = component(r, c);
            if (std::abs(at) < SIZE_FAR) {
                lo[c] = std::min(lo[c], at - by);
                hi[c] = std::max(hi[c], at + by);
            }
        }
    }
    double size = 0;
    for (int c = 0; c < 3; c++)
        if (hi[c] >= lo[c])
            size = std::max(size, hi[c] - lo[c]);
    if (!(size > 0))
        size = std::abs(sc.wdu) < SIZE_FAR ? std::abs(sc.wdu) : 0;
    if (!(size > 0))
        return 1;
    return round_step(size / SIZE_PARTS);
}

vec nudge_move(const frame &f, int dir, double step)
{
    // right and left, up and down, into and out of the screen
    static const int SCREEN[6] = {0, 0, 1, 1, 2, 2};
    static const double WAY[6] = {-1, 1, 1, -1, 1, -1};
    int axis[3];
    double sign[3];
    screen_axes(f, axis, sign);
    const int k = SCREEN[dir];
    double v[3] = {0, 0, 0};
    v[axis[k]] = WAY[dir] * sign[k] * step;
    return {v[0], v[1], v[2]};
}

int nudge_edit(session &s, const studio_reading &r, const studio_selection &sel, int dir,
               bool shift, text_edit &out, std::string &why)
{
    why.clear();
    const std::vector<record_ref> records = selected_records(r, sel);
    frame f;
    if (records.empty() || !make_frame(s.app.model, 0, f))
        return 0;
    const double step = nudge_step(r.sc);
    const vec by = nudge_move(f, dir, shift ? step * NUDGE_SHIFT : step);
    const std::string name = r.outline[selected_item(r, sel)].label;
    if (!move_records(r.text, records, by, out, why)) {
        say(s, name + " was not moved: " + why);
        return 0;
    }
    say(s, name + " moved by " + vec_text(by) + " (a step: " + number_text(step) +
               ", Shift: " + number_text(step * NUDGE_SHIFT) + ")");
    return 1;
}

int size_edit(session &s, const studio_reading &r, int i, int notches, text_edit &out,
              std::string &why)
{
    const double factor = std::pow(SIZE_STEP, notches);
    if (!scale_primitive(r.text, i, factor, out, why)) {
        say(s, why);
        return 0;
    }
    const std::string name = record_name(r.sc, field_ref{SEC_PRIM, i, P_TYPE});
    say(s, name + (notches > 0 ? " made larger" : " made smaller") + " (Ctrl+wheel)", false);
    return 1;
}

std::string vec_text(const vec &v)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.6g, %.6g, %.6g", v.x + 0.0, v.y + 0.0, v.z + 0.0);
    return buf;
}

std::string mouse_hint(const scene &sc, int kind)
{
    const double step = nudge_step(sc);
    std::string t = "drag: move (Shift: nearer or farther)";
    if (kind != OUT_LIGHT)
        t += ", Ctrl+wheel: size";
    return t + "; arrows: a step of " + number_text(step) +
           " (Shift: " + number_text(step * NUDGE_SHIFT) + "); drag elsewhere: turn the camera";
}
