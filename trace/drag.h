// drag.h - a point of the scene and the picture's dots: where the point
// shows, and how far to move it so that it follows the mouse.
//
//   double x, y;
//   if (dot_of_point(f, 0, p, x, y)) ...      // p shows at (x, y)
//   vec by;
//   if (drag_across(f, 0, p, x0, y0, x1, y1, by)) ...  // p + by shows at (x1, y1)
//   vec by = drag_depth(f, 0, p, 1.1);        // a tenth farther from the eye
//
// Dot coordinates are those of make_eye (frame.h): dot (x, y)'s upper-left
// corner is at (x, y), so its middle is at (x + 0.5, y + 0.5), and they
// are real numbers here: a mouse lies between corners. In a stereo pair
// the right half's coordinates count from its own left edge, and eye e is
// the half's eye (f.eye[e]).
//
// drag_across moves p in the plane through p that faces the camera (its
// normal the look direction): the point under the mouse at (x0, y0) stays
// under it at (x1, y1). drag_depth moves p along its ray from the eye,
// `factor` times as far from it: it stays under the mouse. Both give the
// move, to add to the positions of everything dragged with p.
#pragma once

#include "frame.h"

// false when p is not in front of eye e (it shows nowhere).
bool dot_of_point(const frame &f, int e, const vec &p, double &x, double &y);

// false when the ray through either place runs along the plane, or away
// from it: no move keeps p under the mouse.
bool drag_across(const frame &f, int e, const vec &p, double x0, double y0, double x1, double y1,
                 vec &by);

vec drag_depth(const frame &f, int e, const vec &p, double factor);
