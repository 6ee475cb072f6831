// studio_struct.h - the studio's structural edits, chosen from the Edit
// menu or from the outline's and the picture's context menus: primitives
// added, copied, moved in the list and taken out, lights added, copied and
// taken out, groups made, grown, shrunk and unmade (scene/structedit.h).
//
//   struct_target t;
//   t.chosen = {{OUT_PRIMITIVE, 6}};            // the outline's rows, the
//                                               // current one first
//   if (struct_applies(*r, IDM_DUPLICATE, t))   // the item is live
//   struct_result out;
//   if (struct_edit(s, *r, IDM_DUPLICATE, t, out))
//       ... out.edit applied as one step of undo, out.then selected
//
// What is chosen decides what applies: Duplicate, Move Up and Move Down
// one primitive; Delete one or more; Duplicate Light and Delete Light one
// light; Make Group two or more primitives; Add to Group one group and
// primitives beyond it; Remove from Group a member of a group (the group
// chosen too, or the first that has it); Ungroup one group. Adding needs
// only a text read to its end.
//
// A new primitive goes where the picture's context menu was asked for
// (struct_target.at: the point met there, or on background the point
// the dot's ray reaches at the look point's distance), else at the look
// point, in front of the camera; it is a tenth of the view across at its
// distance from the eye, to one significant digit. A new light stands at
// the eye.
//
// After the edit the record it made or moved is selected: the copy, the
// one added, the primitive moved; after a delete the neighbour that
// follows (or the one before, at the end of the list); the new or grown
// group; the primitive taken out of a group, or the first member of a
// group unmade. A refusal (a limit reached, a text that does not read to
// its end) is said on the status line and changes nothing.
#pragma once

#include "app/studio/studio_select.h"
#include "base/vec.h"
#include "scene/textedit.h"

#include <vector>

struct frame;
struct pick_hit;
struct session;

struct struct_target {
    std::vector<studio_selection> chosen; // the current item first
    bool at_point = false;                // asked for at a point of the picture
    vec at{0, 0, 0};
};

struct struct_result {
    text_edit edit;
    studio_selection then; // selected after the edit
};

// Whether id (IDM_ADD_PLANE ... IDM_UNGROUP) applies to t in the read r.
bool struct_applies(const studio_reading &r, int id, const struct_target &t);

// The edit id makes of r's text for t: 1 with out; 0, said, when it is
// refused or does not apply.
int struct_edit(session &s, const studio_reading &r, int id, const struct_target &t,
                struct_result &out);

// Where the picture's context menu at dot (x, y) of f's picture of sc puts
// a new primitive: the point h met, or on background the point the dot's
// ray reaches at the look point's distance from the eye.
vec struct_point(const scene &sc, const frame &f, int x, int y, const pick_hit &h);
