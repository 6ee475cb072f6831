// studio_nudge.h - the selection moved by the keys and sized by the wheel
// in studio view, each press or notch one edit of the text (one step of
// undo), and what the status line says of the mouse and keys.
//
//   std::vector<record_ref> rs = selected_records(r, sel);  // what moves
//   double step = nudge_step(s.app.model);                   // 0.05
//   nudge_edit(s, r, sel, NUDGE_RIGHT, false, edit, why);    // one step
//   size_edit(s, r, 1, +1, edit, why);                       // primitive 2, a notch up
//
// A light moves its position, a primitive its pos, a group every member's
// pos. A nudge moves by one step (ten with Shift) along the scene's axis
// nearest to the screen's right, up, or into the screen (PageUp; PageDown
// out of it), the three axes chosen apart from one another, so that a
// nudge changes one number of each position by a round amount. The step
// is 1, 2 or 5 times a power of ten, at or below a fiftieth of the
// scene's size: the
// largest side of the box round its primitives other than planes (their
// half sizes and semi-axes included), or the view's width without them.
// A notch of the wheel scales a box's half sizes or a quadric's or cone's
// semi-axes by SIZE_STEP (down: divides), keeping their proportions; a
// plane has no size, and says so.
#pragma once

#include "scene/structedit.h"
#include "trace/frame.h"

#include <string>
#include <vector>

struct session;
struct studio_reading;
struct studio_selection;

constexpr double SIZE_STEP = 1.1;
constexpr int NUDGE_SHIFT = 10; // steps a Shift+key moves

enum { NUDGE_LEFT, NUDGE_RIGHT, NUDGE_UP, NUDGE_DOWN, NUDGE_AWAY, NUDGE_NEAR };

// The records the selection moves; none for the camera, the depth or
// nothing.
std::vector<record_ref> selected_records(const studio_reading &r, const studio_selection &sel);

double nudge_step(const scene &sc);
// The move of one step in direction dir (NUDGE_*) in frame f's view.
vec nudge_move(const frame &f, int dir, double step);

// The edit a key makes of the selection; 0 with why when it moves nothing
// (why empty: nothing selected that moves) or the text cannot take it.
int nudge_edit(session &s, const studio_reading &r, const studio_selection &sel, int dir,
               bool shift, text_edit &out, std::string &why);
// The edit notches of the wheel make of primitive i's size.
int size_edit(session &s, const studio_reading &r, int i, int notches, text_edit &out,
              std::string &why);

// "0.5, 0, -1.25"
std::string vec_text(const vec &v);
// What the mouse and keys do to what a click selected (a primitive, a
// group's member or a light), for the status line.
std::string mouse_hint(const scene &sc, int kind);
