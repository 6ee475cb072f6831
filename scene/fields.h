// fields.h - the numbers of a .RT file by name, as koru-cli explain lists
// them and koru-cli set and the scene studio change them.
//
// A field is a section, a record of it and a number of the record:
//   view.rx ... view.iymx, view.nlg     the view settings (V_RX ...)
//   depth.ilvlmx                        the recursion depth (V_ILVLMX)
//   light[N].pos.x ... .bright          light N, from 1 (L_X ...)
//   primitive[N].type ... .col.b        primitive N, from 1 (P_TYPE ...)
// The names after the section are the reader's (rtread.h: view_field,
// light_field, prim_field); "light N" and "primitive N", as explain heads
// them, are read as well as the bracket form.
//
//   field_ref f;
//   std::string why;
//   if (!parse_field("primitive[3].col.r", f, why)) ...   // why: one line
//   field_text(f)               "primitive[3].col.r"
//   field_name(f)               "col.r"
//   field_info(f).whole         true: the reader reads it with %d
//   field_about(sc, f)          "colour, red (0 to 255)"
//   field_number(sc, f)         200: the value the model holds
//   record_name(sc, f)          "primitive 3 (box)"
#pragma once

#include "rtread.h"
#include "scene.h"

#include <string>

enum { SEC_VIEW, SEC_LIGHT, SEC_PRIM };

struct field_ref {
    int sec = SEC_VIEW;
    int index = 0; // 0-based light or primitive; 0 for the view
    int field = 0; // V_*, L_* or P_*
};
inline bool operator==(const field_ref &a, const field_ref &b)
{
    return a.sec == b.sec && a.index == b.index && a.field == b.field;
}

// How a field is best edited: any number, a whole number, one of a few
// codes (field_choices), or a channel of a colour.
enum { FK_REAL, FK_WHOLE, FK_CODE, FK_COLOUR };

struct field_desc {
    int kind;   // FK_*
    bool whole; // read with %d: only whole numbers read back as written
    const char *about;
};
const field_desc &field_info(const field_ref &f);
// The reader's name of the field: "ks", "geom.x", "bright".
const char *field_name(const field_ref &f);
int section_size(int sec); // VIEW_FIELDS, LIGHT_FIELDS or PRIM_FIELDS

// What the field means; for the shape and the position, what it means for
// the type of primitive f.index of sc.
const char *field_about(const scene &sc, const field_ref &f);

// The number the model holds for f (an int field's exactly): for the
// shape of a quadric or cone, the stored coefficient, not the semi-axis.
double field_number(const scene &sc, const field_ref &f);
// The number as a file holds it, the shortest text that reads back as
// field_number (a semi-axis for a quadric's or cone's shape); empty when
// no text does (see rtwrite.h).
std::string field_number_text(const scene &sc, const field_ref &f);

// The record as explain heads it: "view", "depth", "light 2",
// "primitive 7 (box)".
std::string record_name(const scene &sc, const field_ref &f);

// The field in the form parse_field reads: "view.dlength",
// "depth.ilvlmx", "light[2].bright", "primitive[3].col.r".
std::string field_text(const field_ref &f);

// Reads a field's name. Record numbers are only checked to be 1 or more;
// whether the scene has such a record is the caller's to know.
bool parse_field(const char *s, field_ref &f, std::string &why);

// The codes a FK_CODE field takes, each with its name.
struct field_choice {
    int value;
    const char *name;
};
// Their number, with the list in *list (none for other fields).
int field_choices(const field_ref &f, const field_choice **list);
