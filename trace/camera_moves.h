// camera_moves.h - moving a scene's camera: by hand in the live view, and round
// the look point for a turntable animation (anim.h).
//
// Every move changes the camera fields of the scene (look point rx, ry, rz,
// look direction vpnax..vpnaz, dlength, wdu) and nothing else. Angles are
// in degrees, motions in dots of the picture as it is shown.
//
//   orbit(sc, dx, dy)   the eye turns about the look point, so that the
//                       scene turns with the mouse like a turntable: each
//                       dot of motion to the right turns the eye
//                       ORBIT_DEG_PER_DOT degrees the other way about the
//                       vertical axis (+z) through the look point, each dot
//                       downward raises its elevation as many degrees. The
//                       elevation stays within +-ELEV_MAX_DEG so that +z
//                       stays up. The look direction becomes a unit vector;
//                       dlength is kept.
//   turn(sc, deg)       the eye turns deg degrees about the vertical through
//                       the look point, anticlockwise seen from above for a
//                       positive deg: orbit's rule for -deg /
//                       ORBIT_DEG_PER_DOT dots to the right and none down,
//                       the elevation bound and unit direction included.
//   pan(sc, dx, dy, w)  the look point (and with it the eye) moves in the
//                       screen plane so that the scene follows the mouse at
//                       the look point: dx dots to the right move it
//                       dx * wdu / w to the left (along -uvec), dy dots down
//                       move it dy * wdu / w up (along +vvec); w is the
//                       picture's width in dots.
//   dolly(sc, steps)    dlength *= DOLLY_STEP^steps: positive steps bring
//                       the eye nearer the look point (the wheel turned
//                       away from the user); a dlength of 0 stays 0.
//   widen(sc, steps)    wdu *= DOLLY_STEP^-steps: positive steps show more
//                       of the scene; a wdu of 0 stays 0.
//
// A camera without a usable look direction (zero or not finite) does not
// orbit or pan: the moves return false and change nothing.
#pragma once

#include "../scene/scene.h"

constexpr double ORBIT_DEG_PER_DOT = 0.5;
constexpr double ELEV_MAX_DEG = 89;
constexpr double DOLLY_STEP = 0.9;

// Keyboard steps: an arrow key orbits (Shift+arrow pans) by this many dots
// of mouse motion; + and - dolly one step.
constexpr int KEY_DOTS = 10;

bool orbit(scene &sc, double dx, double dy);
bool turn(scene &sc, double deg);
bool pan(scene &sc, double dx, double dy, int w);
void dolly(scene &sc, double steps);
void widen(scene &sc, double steps);
