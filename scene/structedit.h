// structedit.h - a scene's structure changed in its text: primitives and
// lights added, copied, moved and taken out, groups made and unmade, the
// file kept consistent and every other byte kept.
//
// Each edit is a pure function of the text: 1 with the one text_edit
// (textedit.h) that makes the change, which is also its own undo record;
// 0 with why, one line, and nothing changed.
//
//   text_edit e;
//   std::string why;
//   if (delete_primitive(text, 6, e, why))   // primitive 7 as the outline shows it
//       apply_edit(text, e);
//
// Records, lights and groups are counted from 0 here (primitive 7 is 6);
// a group is its place in the group section as the reader counts the
// lists (scenetext.h: text_number::group - 1), the same group a
// number of its list names.
//
// What stays consistent:
//  - nlg follows the lights added and taken out;
//  - a record added or copied goes into the primitive list before its
//    terminating negative number;
//  - the group section follows every record that moves or goes: its
//    numbers are renumbered (every number above a place the records moved
//    from or to, numbers that name no primitive included, so that they
//    still name none), the number of a primitive taken out goes from every
//    list, a list left empty goes with its terminator, and a list left with
//    one member stays: the reader gives that member no partners, as the
//    edited model has none;
//  - a list the reader closed after MEMBER_MAX members, whose next number
//    it drops, gets a negative number in place of the dropped one when it
//    loses a member, so the numbers after it are still read as before.
// Records and lights taken out or copied take their lines with them (or
// the blanks before or after them, where they share a line:
// textruns.h), so a primitive copied and the copy deleted again gives
// back the text's bytes (where the group numbers are written plainly: a
// renumbered number keeps a written + and leading zeros as far as its
// digits allow, so "09" comes back as "9" by way of "10"). A new record,
// light or group list is written in the layout of the one before it (its
// indentation, the blanks between its numbers, its line end). Numbers are
// written as a number set by hand is: at most EDIT_DIGITS significant
// digits, no noise digits (rtwrite.h: digits_text); a position moved by an
// amount keeps the decimals of both where the sum has at most 15
// significant digits, so 0.1 moved by 0.2 is 0.3 and 1.25 moved by 1 is
// 2.25.
//
// Edits that add or take out records, lights or group members need a text
// the reader reads to the end of its group section, with no more than
// PRIM_MAX primitives and LIGHT_MAX lights and a blank between every two
// numbers (the reader takes "1.5.5" as 1.5 and .5); the limits (PRIM_MAX
// primitives, LIGHT_MAX lights, MEMBER_MAX members a list) refuse an edit
// before anything changes. Moving and scaling need only the numbers they
// change.
#pragma once

#include "fields.h"
#include "textedit.h"

#include <string>
#include <vector>

constexpr int EDIT_DIGITS = 7;

// Primitives.
int delete_primitive(const std::string &text, int i, text_edit &out, std::string &why);
// The copy goes directly after i, in no group.
int duplicate_primitive(const std::string &text, int i, text_edit &out, std::string &why);
// Swaps primitive i with the one before (step -1) or after (step 1) it in
// the list; the groups keep their members.
int shift_primitive(const std::string &text, int i, int step, text_edit &out, std::string &why);

// The kinds of primitive the studio adds, each one record.
enum { SHAPE_PLANE, SHAPE_BOX, SHAPE_SPHERE, SHAPE_ELLIPSOID, SHAPE_CYLINDER, SHAPE_CONE, SHAPES };
extern const char *const shape_name[SHAPES]; // "plane" ... "cone"
int shape_named(const char *name);           // SHAPE_*, or -1

// A record's numbers as they are to stand in the file (PRIM_FIELDS of
// them; a quadric's or cone's shape as semi-axes), and a light's.
struct prim_numbers {
    std::string num[PRIM_FIELDS];
};
struct light_numbers {
    std::string num[LIGHT_FIELDS];
};
// A new primitive of a shape at a point, size across (a sphere's radius,
// a box's half size, a plane's none): a plane through the point facing +z;
// a box; a sphere; an ellipsoid longest along x; a cylinder along z; a
// cone along z with its apex at the point. Opaque, with a highlight.
prim_numbers new_primitive(int shape, const vec &at, double size);
light_numbers new_light(const vec &at, double bright);

// Appends a record at the end of the primitive list, in no group. Each
// number must read back as written (textedit.h: value_fits), and the type
// must not be negative (it would end the list).
int add_primitive(const std::string &text, const prim_numbers &rec, text_edit &out,
                  std::string &why);

// Lights.
int delete_light(const std::string &text, int j, text_edit &out, std::string &why);
int duplicate_light(const std::string &text, int j, text_edit &out, std::string &why);
int add_light(const std::string &text, const light_numbers &l, text_edit &out, std::string &why);

// A primitive or a light, 0-based.
struct record_ref {
    int sec; // SEC_PRIM or SEC_LIGHT
    int index;
};
// Adds `by` to the position of every record listed (each once, however
// often listed): a primitive dragged, or every member of a group. A drag
// makes each edit from the text it started on, with the whole way moved,
// so nothing is rounded twice.
int move_records(const std::string &text, const std::vector<record_ref> &records, const vec &by,
                 text_edit &out, std::string &why);
// Multiplies primitive i's shape by factor > 0, keeping its proportions:
// a box's half sizes, a quadric's or cone's semi-axes. A plane has no size.
int scale_primitive(const std::string &text, int i, double factor, text_edit &out,
                    std::string &why);

// Groups. make_group writes a new list at the end of the group section:
// two to MEMBER_MAX primitives, none twice.
int make_group(const std::string &text, const std::vector<int> &members, text_edit &out,
               std::string &why);
int add_to_group(const std::string &text, int g, int i, text_edit &out, std::string &why);
// Takes every mention of primitive i out of group g's list.
int remove_from_group(const std::string &text, int g, int i, text_edit &out, std::string &why);
// Takes group g's list out of the group section.
int ungroup(const std::string &text, int g, text_edit &out, std::string &why);
