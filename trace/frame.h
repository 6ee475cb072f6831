// frame.h - the viewing frame a render derives from a scene's camera.
//
// make_frame normalises the look direction, places the eye at look point
// + dlength * direction, derives the screen frame uvec (right) and vvec
// (up), clamps the size to WIDTH_MAX x HEIGHT_MAX and, for a stereo pair,
// halves the width each eye is traced at. It writes nothing back: the
// caller decides with apply_frame what a finished picture leaves in its
// scene (the unit direction, uvec, vvec, the clamped size, even for a pair).
// An anaglyph has the pair's two eyes, each seen at the full width, in a
// picture one eye wide.
//
//   frame f;
//   if (!make_frame(sc, stereo, f)) ...   // the look direction has no length
//   make_eye(dir, f.eye[0], x, y, f);      // the primary ray through dot (x, y)
//   frame big = scaled_frame(f, 3);        // the same view at 3 x 3 dots a dot
//
// The clamp applies to the picture a render hands over; a scaled frame,
// traced to be averaged down (render.h, aa), may go beyond it.
#pragma once

#include "../scene/scene.h"

struct frame {
    vec look;       // rx, ry, rz: the centre of the view window
    vec dir;        // the unit look direction (vpnax, vpnay, vpnaz after a render)
    vec uvec, vvec; // screen right and up
    vec eye[2];     // the eye; a pair: eye[0] moved along +uvec, eye[1] along -uvec
    int neyes;      // 1, or 2 for a stereo pair or an anaglyph
    double wdu;     // view window width
    int w, h;       // dots per eye per row (ixmx, halved for a pair) and rows
    int width;      // the picture's width: w, or 2w for a pair
};

// false when the look direction has no length that can be divided by
// (zero, or not finite): nothing can be rendered, f is not set. stereo
// nonzero: a crossed pair; anaglyph (stereo aside): both eyes of the pair,
// each w = ixmx wide, and width = w.
bool make_frame(const scene &sc, int stereo, frame &f, bool anaglyph = false);

// f at n times as many dots across and down: w, h and width times n, the
// eyes, the look point and the screen frame the same. make_eye then meets
// the view window n times as densely.
frame scaled_frame(const frame &f, int n);

// What a finished picture leaves in its scene.
void apply_frame(scene &sc, const frame &f);

// Direction of the ray from eye through the upper-left corner of dot (x, y).
void make_eye(vec &dir, const vec &eye, int x, int y, const frame &f);
