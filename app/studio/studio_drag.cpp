#include "app/studio/studio_drag.h"

#include "app/session/say.h"
#include "app/session/session.h"
#include "app/studio/studio_doc.h"
#include "app/studio/studio_nudge.h"
#include "app/studio/studio_pick.h"
#include "app/studio/studio_select.h"
#include "image/display.h"
#include "trace/drag.h"

#include <algorithm>
#include <cmath>

namespace {

// A picture's dots per view dot, a hundredth: the display's sampling
double dots_per(int zoom) { return 10000 / std::clamp(zoom, ZOOM_MIN, ZOOM_MAX) / 100.0; }

// v within 0..size, a marker's reach from either end where there is room
double inside(double v, double size)
{
    return std::min(std::max(v, MARK_GRAB), std::max(MARK_GRAB, size - MARK_GRAB));
}

vec &position(scene &sc, const record_ref &r)
{
    return r.sec == SEC_PRIM ? sc.pri[r.index].pos : sc.lig[r.index].pos;
}

// A light within a hundredth of the look point's depth of eye e's plane
// (one added at the eye, say) shows nowhere on the picture: its marker is
// put where the look point shows, and a drag takes it from there.
bool at_the_eye(const frame &f, int e, const vec &p)
{
    vec to_p, to_look;
    vsub(to_p, p, f.eye[e]);
    vsub(to_look, f.look, f.eye[e]);
    return std::abs(vspro(to_p, f.dir)) < std::abs(vspro(to_look, f.dir)) / 100;
}

// What the press holds: the records of the selection and their places.
void hold(session &s, const studio_reading &r, int kind, int index, studio_drag &d)
{
    d.kind = kind;
    d.index = index;
    d.name = r.outline[find_item(r, kind, index)].label;
    d.records = selected_records(r, studio_selection{kind, index});
    d.from.clear();
    for (const record_ref &rec : d.records)
        d.from.push_back(position(s.app.model, rec));
    d.text = r.text;
    d.moving = false;
    d.by = vec{0, 0, 0};
}

// The light or the selected primitive at the press, if any: which it is
// and the point that is to stay under the mouse.
bool grab_at(session &s, const studio_reading &r, const studio_selection &sel, const scene &sc,
             studio_drag &d)
{
    if (s.studio.lights) {
        const int j = light_at(light_marks(sc, d.f, s.disp.zoom_size), d.vx0, d.vy0);
        if (j >= 0 && find_item(r, OUT_LIGHT, j) >= 0) {
            hold(s, r, OUT_LIGHT, j, d);
            d.at = sc.lig[j].pos;
            if (at_the_eye(d.f, d.eye, d.at)) { // first to the look point's depth
                vsub(d.lift, d.f.look, d.at);
                d.at = d.f.look;
            }
            // a light taken by the edge comes to the mouse: from where it shows
            double x, y;
            if (dot_of_point(d.f, d.eye, d.at, x, y) && std::isfinite(x) && std::isfinite(y))
                d.ax = x, d.ay = y;
            return true;
        }
    }
    const std::vector<int> chosen = selected_primitives(r, sel);
    pick_hit h;
    if (chosen.empty() || !pick_dot(sc, d.f, (int)d.x0 + d.eye * d.f.w, (int)d.y0, h) ||
        std::find(chosen.begin(), chosen.end(), h.index) == chosen.end())
        return false;
    hold(s, r, sel.kind, sel.index, d);
    d.at = h.point;
    return true;
}

} // namespace

bool picture_place(const frame &f, int zoom, double vx, double vy, double &x, double &y, int &eye)
{
    const double k = dots_per(zoom);
    x = vx * k;
    y = vy * k;
    if (!(x >= 0 && y >= 0 && x < f.width && y < f.h))
        return false;
    eye = f.neyes == 2 && f.width == 2 * f.w && x >= f.w ? 1 : 0;
    x -= eye * f.w;
    return true;
}

std::vector<light_mark> light_marks(const scene &sc, const frame &f, int zoom)
{
    std::vector<light_mark> out;
    const double k = dots_per(zoom);
    int W, H; // the dots shown, which at some zooms end before the picture does
    disp_size(f.width, f.h, zoom, W, H);
    const int halves = f.neyes == 2 && f.width == 2 * f.w ? 2 : 1;
    for (int j = 0; j < sc.nlg && j < LIGHT_MAX; j++)
        for (int e = 0; e < halves; e++) {
            const bool at_eye = at_the_eye(f, e, sc.lig[j].pos);
            double x, y;
            if (!dot_of_point(f, e, at_eye ? f.look : sc.lig[j].pos, x, y) || !std::isfinite(x) ||
                !std::isfinite(y))
                continue;
            const double left = e * f.w / k, right = std::min((e + 1) * f.w / k, (double)W);
            const double bottom = std::min(f.h / k, (double)H);
            double vx = left + x / k, vy = y / k;
            const bool beyond = at_eye || !(vx >= left && vx < right && vy >= 0 && vy < bottom);
            if (beyond) { // by the edge nearest to it
                vx = left + inside(vx - left, right - left);
                vy = inside(vy, bottom);
            }
            out.push_back(light_mark{j, vx, vy, beyond});
        }
    return out;
}

int light_at(const std::vector<light_mark> &marks, double vx, double vy)
{
    int best = -1;
    double nearest = MARK_GRAB * MARK_GRAB;
    for (const light_mark &m : marks) {
        const double d2 = (m.vx - vx) * (m.vx - vx) + (m.vy - vy) * (m.vy - vy);
        if (d2 <= nearest) {
            nearest = d2;
            best = m.index;
        }
    }
    return best;
}

int light_under(const session &s, bool rows_shown, double vx, double vy)
{
    std::shared_ptr<const scene> sc;
    frame f;
    if (!s.studio.lights || pick_source(s.app, rows_shown, sc, f) != PICK_SCENE)
        return -1;
    return light_at(light_marks(*sc, f, s.disp.zoom_size), vx, vy);
}

bool drag_press(session &s, const studio_reading &r, const studio_selection &sel, bool rows_shown,
                double vx, double vy, studio_drag &d)
{
    d = studio_drag{};
    std::shared_ptr<const scene> sc;
    if (pick_source(s.app, rows_shown, sc, d.f) != PICK_SCENE)
        return false;
    d.vx0 = vx;
    d.vy0 = vy;
    const bool on_picture = picture_place(d.f, s.disp.zoom_size, vx, vy, d.x0, d.y0, d.eye);
    d.ax = d.x0;
    d.ay = d.y0;
    if (!on_picture || !grab_at(s, r, sel, *sc, d)) {
        d = studio_drag{};
        return false;
    }
    return true;
}

bool drag_to(session &s, studio_drag &d, double vx, double vy, bool depth)
{
    if (!d.grabbed())
        return false;
    if (!d.moving && std::abs(vx - d.vx0) + std::abs(vy - d.vy0) <= DRAG_SLOP)
        return false;
    d.moving = true;
    const double k = dots_per(s.disp.zoom_size);
    vec by;
    if (depth)
        by = drag_depth(d.f, d.eye, d.at, std::exp2((d.vy0 - vy) / DEPTH_DOTS));
    else if (!drag_across(d.f, d.eye, d.at, d.ax, d.ay, d.x0 + (vx - d.vx0) * k,
                          d.y0 + (vy - d.vy0) * k, by))
        return false;
    vadd(by, by, d.lift);
    if (!std::isfinite(by.x) || !std::isfinite(by.y) || !std::isfinite(by.z))
        return false;
    d.by = by;
    for (size_t i = 0; i < d.records.size(); i++) {
        const vec &p = d.from[i];
        position(s.app.model, d.records[i]) = vec{p.x + by.x, p.y + by.y, p.z + by.z};
    }
    say(s, d.name + ": moving by " + vec_text(by), false);
    return true;
}

int drag_release(session &s, studio_drag &d, text_edit &out, std::string &why)
{
    why.clear();
    const studio_drag was = d;
    d = studio_drag{};
    if (!was.grabbed() || !was.moving)
        return 0;
    for (size_t i = 0; i < was.records.size(); i++)
        position(s.app.model, was.records[i]) = was.from[i];
    if (s.studio.text != was.text)
        why = "the text changed during the drag";
    else if (move_records(was.text, was.records, was.by, out, why)) {
        say(s, was.name + " moved by " + vec_text(was.by) + " (Ctrl+Z takes it back)");
        return 1;
    }
    say(s, was.name + " was not moved: " + why);
    return 0;
}
