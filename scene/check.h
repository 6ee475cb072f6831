// check.h - what a scene file says that loads but cannot be what its
// author meant.
//
//   scene_map map;
//   data_load(sc, path, msgs, &map);   // what the reader had to say
//   check_scene(sc, &map, msgs);        // and what the scene itself shows
//
// check_scene adds one line per finding to msgs, placed where the map says
// the number in question stands (with no map, the lines have no place;
// with one, view settings the file never reached are not checked):
//  - a zero look direction, or one without a length KORU can divide by;
//  - a picture size that has no dots, or that will be clamped to
//    WIDTH_MAX x HEIGHT_MAX;
//  - a light inside an opaque solid (a primitive that is not glass, cut by
//    its partners) that the eye is outside of: it lights nothing the eye
//    can see;
//  - a type outside 1..4 (never drawn), a surface code other than 1, 2, 3
//    (drawn opaque), a pattern code other than 0..3 (drawn plain);
//  - a plane with a zero normal; a quadric or cone with all semi-axes 0;
//  - a pattern of width 0; glass with refr <= 0;
//  - a group naming a primitive twice, which makes it its own partner.
// Members outside the table are the reader's to report; what the text's
// lines say (a record short of numbers on its line, a whole number with a
// fraction) is check_layout's (layout.h).
#pragma once

#include "rtread.h"
#include "scene.h"

struct msglist;

// The number of lines added.
int check_scene(const scene &sc, const scene_map *map, msglist &msgs);

// The name of a primitive type: "plane", "box", "quadric", "cone", or
// "unknown type".
const char *type_name(int type);
// The name of a surface code: "mirror", "glass", or "opaque".
const char *surf_name(int surf);
// The name of a pattern code: "plain", "checker", "stripes", "diagonal".
const char *pat_name(int pat);
