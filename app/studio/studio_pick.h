// studio_pick.h - a click on the picture in studio view, and the outline of
// what is selected, drawn over the picture.
//
//   int x, y;
//   if (view_dot(zoom, w, h, vx, vy, x, y) && pick_dot(sc, f, x, y, hit))
//       status(pick_text(sc, x, y, hit));   // trace/pick.h's pick_dot
//
//   std::vector<int> ids;                    // pick_dots of the picture
//   silhouette(ids, w, h, {6}, zoom, dots, W, H);
//
// pick_source says what a click picks from: the scene and frame of the
// render that made the picture shown, or the model's own while the rows of
// a frame of it cover the picture.
//
// Both follow the display's sampling (image/display.h): display dot (X, Y)
// shows picture dot (X*s/100, Y*s/100) with s = 10000/zoom. The column
// phase that zooms other than 50, 100, 200 and 400 % carry from row to row
// is left aside: it moves a dot by less than one.
#pragma once

#include "trace/pick.h"

#include <memory>
#include <string>
#include <vector>

struct app_state;

// PICK_SCENE with the scene and frame to pick from; PICK_FROM_FILE: the
// picture was read from a file, no scene made it; PICK_NOTHING: there is
// no picture, or the model's frame has no view.
enum { PICK_NOTHING = 0, PICK_FROM_FILE, PICK_SCENE };
int pick_source(const app_state &a, bool rows_shown, std::shared_ptr<const scene> &sc, frame &f);

// The dot of a w x h picture that point (vx, vy) of the view shows; false
// beyond the picture.
bool view_dot(int zoom, int w, int h, int vx, int vy, int &x, int &y);

// What the status line says of a pick of dot (x, y):
// "dot 320, 240: primitive 7 (box), met at 1.25, -0.4, 0.7" or
// "dot 3, 4: background".
std::string pick_text(const scene &sc, int x, int y, const pick_hit &h);

// The display's W x H dots at zoom, each 0 where the picture's dot shows
// no primitive in `chosen` (0-based), 2 on the edge of those that do (a
// dot beside it across or down does not, or the picture ends there), 1
// within. ids: the picture's w x h dots' primitives (pick_dots).
void silhouette(const std::vector<int> &ids, int w, int h, const std::vector<int> &chosen, int zoom,
                std::vector<unsigned char> &out, int &W, int &H);
