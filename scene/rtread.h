// rtread.h - the .RT scene file reader.
//
// A .RT file is a stream of numbers whose meaning is their position:
//   rx ry rz                 look point
//   vpnax vpnay vpnaz        look direction (towards the eye)
//   dlength wdu              eye distance, view width
//   ixmx iymx                image size in dots
//   nlg, then nlg times:     x y z bright
//   ilvlmx                   reflection/refraction depth
//   records, each: type surf ka kd ks spare npow refr trans pat patw sense
//                  gx gy gz px py pz r g b     (a negative type ends them)
//   groups: lists of 1-based primitive numbers, each ended by a negative
//           number; a negative number where a group would start ends them.
//
// data_load writes straight into the scene it is given, field by field in
// file order; records beyond the new primmx keep what they held. The
// file's own mistakes are bounded, never followed out of the tables, and
// reported as lines of msgs (nothing is printed):
//  - a list without its negative terminator (end of file, or text that is
//    no number) ends where the input ends; complete records are kept and
//    counted, a record cut short is not;
//  - lights beyond LIGHT_MAX and records beyond PRIM_MAX are read and
//    dropped, so the rest of the file keeps its meaning;
//  - group members outside 1..primmx are left out of their group;
//  - a count the file never reached is 0.
#pragma once

#include "scene.h"

struct msglist;

// Returns 1 when the file was opened, 0 when not: the scene is then
// unchanged and msgs says why.
int data_load(scene &sc, const char *path, msglist &msgs);
