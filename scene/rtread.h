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
//
// Each line of msgs names the place in the file it is about (msg::line and
// msg::col, 1-based): where the offending number, or text that is no
// number, begins, or where the file ended. A field is named as scene.h
// names it: 'primitive 3: ks is not a number ("abc"); the record is left
// out'.
//
// Given a scene_map, the reader also notes where each number it kept
// stands, so later messages about the scene (check.h) and listings
// (explain.h) can point into the file, and keeps the semi-axes of quadrics
// and cones as written (rt_text can write them back so, keys.h mixes them).
#pragma once

#include "scene.h"

#include <cstddef>

struct msglist;

// A place in a file: 1-based line and column (in bytes); 0 when unknown.
struct place {
    int line = 0, col = 0;
};

// The numbers of the view settings, in file order, and of a record.
// clang-format off
enum {
    V_RX, V_RY, V_RZ, V_VPNAX, V_VPNAY, V_VPNAZ, V_DLENGTH, V_WDU, V_IXMX, V_IYMX, V_NLG,
    V_ILVLMX, VIEW_FIELDS
};
enum {
    P_TYPE, P_SURF, P_KA, P_KD, P_KS, P_SPARE, P_NPOW, P_REFR, P_TRANS, P_PAT, P_PATW,
    P_SENSE, P_GX, P_GY, P_GZ, P_PX, P_PY, P_PZ, P_R, P_G, P_B, PRIM_FIELDS
};
// clang-format on
enum { L_X, L_Y, L_Z, L_BRIGHT, LIGHT_FIELDS };

// Their names: "rx" ... "ilvlmx"; "type", "surf", ... "geom.x", "pos.x",
// "col.r"; "pos.x" ... "bright".
extern const char *const view_field[VIEW_FIELDS];
extern const char *const prim_field[PRIM_FIELDS];
extern const char *const light_field[LIGHT_FIELDS];

// Where the numbers of the last file read stand: the view settings (no
// place for those never reached), lights 0..nlg-1 and records 0..primmx-1.
// Like the scene's tables, entries beyond the counts are left as they were.
struct scene_map {
    place view[VIEW_FIELDS];
    place light[LIGHT_MAX][LIGHT_FIELDS];
    place prim[PRIM_MAX][PRIM_FIELDS];
    place group[PRIM_MAX];      // the first member of the group that gave each its partners
    place twice[PRIM_MAX];      // where that group names the primitive a second time, making
                                // it its own partner; no place when it does not
    bool records_ended = false; // the file got as far as the primitive list's terminator
    place records_end;          // where that terminator stands
    vec axes[PRIM_MAX] = {};    // types 3 and 4: geom as the file gives it, semi-axes before
                                // their conversion to coefficients
};

// Returns 1 when the file was opened, 0 when not, or when it holds more
// than SCENE_FILE_MAX bytes (sizes.h): the scene is then unchanged and
// msgs says why in one line. map, when given, is filled as it says.
int data_load(scene &sc, const char *path, msglist &msgs, scene_map *map = nullptr);

// The same from n bytes of text in memory. Returns 1; 0 for a text of more
// than SCENE_FILE_MAX bytes, which is not read: the scene is unchanged, the
// map has no places and no end of the records, and msgs says why.
int data_load_text(scene &sc, const char *text, size_t n, msglist &msgs, scene_map *map = nullptr);
