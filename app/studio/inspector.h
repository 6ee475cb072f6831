// inspector.h - the fields of the item selected in the studio, by name, to
// be edited one at a time.
//
//   std::vector<inspector_row> rows = inspector_rows(reading, item);
//   rows[i].name "ks", .about "specular weight", .kind FK_REAL, .text "0.3"
//
// The rows are the record's fields in file order, each with its number as
// the text holds it: the camera's rx ... iymx, a light's position and
// brightness, the depth, a primitive's 21 fields. A group has none (its
// list is edited in the text). An edit is a field_edit (textedit.h) of the
// rows' fields: one stretch of the text replaced, nothing else changed.
//
// stepped_text is what the arrows of a field's box make of its number:
// a whole number moves by 1; a real one by one unit of its last decimal
// place (at least 0.1), written with as many decimals.
#pragma once

#include "app/studio/studio_doc.h"

#include <string>
#include <vector>

struct inspector_row {
    field_ref field;
    std::string name;                  // the reader's name: "ks", "geom.x"
    std::string about;                 // what it is: "specular weight", for the primitive's type
    int kind;                          // FK_REAL, FK_WHOLE, FK_CODE or FK_COLOUR
    bool whole;                        // read as a whole number
    std::string text;                  // the number as the text holds it
    double value;                      // as the scene holds it
    std::vector<field_choice> choices; // FK_CODE: the codes, each named
};

std::vector<inspector_row> inspector_rows(const studio_reading &r, int item);

// The title of the inspector for an item: "primitive 7 (box)", "camera".
std::string inspector_title(const studio_reading &r, int item);

// The text of a number after `steps` steps up (negative: down); empty
// when text is no number of the kind.
std::string stepped_text(const std::string &text, bool whole, int steps);
