// studio_drag.h - the scene shaped with the mouse on the picture in studio
// view: what a press grabs, the move a drag makes of it, shown in the
// model while the mouse moves, and the one edit of the text it becomes
// when the mouse is released.
//
//   studio_drag d;
//   if (drag_press(s, r, sel, rows_shown, vx, vy, d)) ...  // grabbed: no orbit
//   if (drag_to(s, d, vx, vy, shift)) ...                  // the model moved: a preview
//   if (drag_release(s, d, edit, why)) ...                 // the model as it was; the edit
//
// vx, vy: a place in the view as the toolkit gives it (view dot X spans
// X to X + 1), at the display's zoom; a picture's coordinates are
// make_eye's (frame.h), in the half of a stereo pair they fall in.
//
// A press grabs, first, a light's marker (while they are shown) within
// MARK_GRAB dots of the view, then the selected primitive, or a member of
// the selected group, where the dot pressed shows it (the group moves as
// one). A press elsewhere grabs nothing: it turns the camera.
//
// A drag moves what it grabbed in the plane through the point pressed
// that faces the camera (trace/drag.h's drag_across), so that point stays
// under the mouse (a light taken by its marker comes to the mouse, from
// the edge too, and one at the eye, whose marker is where the look point
// shows, from the look point's depth); with depth (Shift) along its ray from the eye instead,
// twice as far for every DEPTH_DOTS dots up, half as far for as many
// down. Nothing moves until the mouse has gone more than DRAG_SLOP dots
// from the press (a press and release within them is a click). The
// model's positions follow, for the preview; the text waits for the
// release, whose edit is made from the text the drag started on with the
// whole move (structedit.h's move_records): one step of undo however long
// the drag, nothing rounded twice.
#pragma once

#include "scene/structedit.h"
#include "trace/frame.h"

#include <string>
#include <vector>

struct session;
struct studio_reading;
struct studio_selection;

constexpr double MARK_GRAB = 6; // a marker's reach, in dots of the view
constexpr int DRAG_SLOP = 3;
constexpr double DEPTH_DOTS = 100;

// A place of the view as a place of the picture f shows at zoom, and the
// eye of its half; false beyond the picture.
bool picture_place(const frame &f, int zoom, double vx, double vy, double &x, double &y, int &eye);

// Where each light of sc shows on the picture, in the view at zoom (in
// each half of a pair): a light beyond the dots shown by the edge nearest
// to it (edge), MARK_GRAB in, so that it can still be taken; one in the
// eye's plane, as a light added at the eye is, where the look point shows
// (edge too: hollow); behind the eye, nowhere.
struct light_mark {
    int index; // 0-based
    double vx, vy;
    bool edge;
};
std::vector<light_mark> light_marks(const scene &sc, const frame &f, int zoom);
// The light whose marker is nearest (vx, vy), within MARK_GRAB; -1: none.
int light_at(const std::vector<light_mark> &marks, double vx, double vy);
// The same over the picture shown (studio_pick.h's pick_source), while
// the markers are shown.
int light_under(const session &s, bool rows_shown, double vx, double vy);

struct studio_drag {
    int kind = -1;  // what moves: OUT_PRIMITIVE, OUT_GROUP, OUT_LIGHT; -1: nothing grabbed
    int index = -1; // its outline index
    std::string name;
    std::vector<record_ref> records;
    std::vector<vec> from; // their positions in the model at the press
    vec at{0, 0, 0};       // the point that stays under the mouse
    frame f{};
    int eye = 0;
    double vx0 = 0, vy0 = 0; // the press, in the view
    double x0 = 0, y0 = 0;   // ... and in the picture
    double ax = 0, ay = 0;   // where the drag takes `at` from: the press, or
                             // where a light taken by the edge shows
    bool moving = false;     // beyond the slop
    vec lift{0, 0, 0};       // a light at the eye: first to the look point
    vec by{0, 0, 0};         // the whole move so far
    std::string text;        // the text it started from
    bool grabbed() const { return kind >= 0; }
};

// r: a read of the studio's text as it is; sel: the selection.
bool drag_press(session &s, const studio_reading &r, const studio_selection &sel, bool rows_shown,
                double vx, double vy, studio_drag &d);
// The mouse at (vx, vy): true when the model moved (a preview is due).
bool drag_to(session &s, studio_drag &d, double vx, double vy, bool depth);
// The drag ends: the model's positions as they were, d cleared, and the
// edit of the whole move. 0 when nothing moved (why empty) or the text
// cannot take it (why says so, and the status line).
int drag_release(session &s, studio_drag &d, text_edit &out, std::string &why);
