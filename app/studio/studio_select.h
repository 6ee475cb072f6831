// studio_select.h - the studio's one selection, which the outline marks,
// the inspector shows, the text selects and the picture outlines.
//
//   studio_selection sel{OUT_PRIMITIVE, 6};
//   int item = selected_item(*r, sel);          // -1: not in this read
//   std::vector<int> p = selected_primitives(*r, sel);
//   if (same_items(*before, *after)) ...         // only numbers changed
//
// A selection names an outline item by kind and index (studio_doc.h). It
// holds only while the text's read has that item: a read without it (the
// record deleted, or the text cut short before it) leaves nothing
// selected, everywhere at once.
#pragma once

#include "app/studio/studio_doc.h"

#include <vector>

struct studio_selection {
    int kind = -1; // OUT_* (scene/outline.h); -1: nothing
    int index = -1;
    bool any() const { return kind >= 0; }
    bool operator==(const studio_selection &o) const { return kind == o.kind && index == o.index; }
};

// The outline item the selection is in r; -1 when nothing is selected or
// r has no such item.
int selected_item(const studio_reading &r, const studio_selection &sel);

// The primitives (0-based) the picture outlines: the one selected, or a
// group's members; none for the camera, a light, the depth, or a selection
// that r does not have.
std::vector<int> selected_primitives(const studio_reading &r, const studio_selection &sel);

// Whether two reads have the same outline items (the same records, in the
// same groups): what changed between them are numbers only, so a selection
// names the same thing in both.
bool same_items(const studio_reading &a, const studio_reading &b);
