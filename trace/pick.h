// pick.h - which primitive a dot of a picture shows.
//
// (pick_dot, not pick: kernels.h's struct pick is the nearest-hit record.)
//
// A dot shows the primitive its primary ray meets first: the ray make_eye
// gives for the dot (frame.h), from the eye of its half in a stereo pair,
// and the tracer's own nearest-hit search (shade.h: every primitive in
// index order, CSG acceptance, the lower index on a tie, nothing at FAR or
// beyond). A dot of background shows none.
//
//   pick_hit h;
//   if (pick_dot(sc, stereo, x, y, h) && h.index >= 0)
//       ... primitive h.index (0-based), met at h.point
//
//   std::vector<int> ids;          // the whole picture at once, for
//   pick_dots(sc, f, ids);          // silhouettes: ids[y * f.width + x]
//
// The dots are the picture's, as render_job::view() gives its frame: a
// picture made with anti-aliasing is picked by the ray through each dot's
// upper-left corner, the first of those its dot averages. In an anaglyph
// (one eye wide, two eyes) a dot is picked from the eye of green and blue,
// eye[0].
#pragma once

#include "frame.h"

#include <atomic>
#include <vector>

struct pick_hit {
    int index = -1;           // the primitive met, 0-based; -1 for background
    int eye = 0;              // the eye the ray left from: 0, or 1 in the right half of a pair
    vec point{FAR, FAR, FAR}; // where it was met, in scene units
};

// false when (x, y) is not a dot of f's picture (0 <= x < width, 0 <= y < h).
bool pick_dot(const scene &sc, const frame &f, int x, int y, pick_hit &out);

// The same in the picture a render of sc makes (stereo nonzero: the crossed
// pair); false also when the look direction has no length.
bool pick_dot(const scene &sc, int stereo, int x, int y, pick_hit &out);

// Every dot's primitive, -1 for background: f.width x f.h entries, rows
// from the top (none when the picture has no dots). The same answers as
// pick_dot, found with the accelerated search (fast.h) where it applies.
// A stop flag, when given, is watched between rows: false when it stopped
// the search (ids then incomplete).
bool pick_dots(const scene &sc, const frame &f, std::vector<int> &ids,
               const std::atomic<bool> *stop = nullptr);
