// textedit.h - changing numbers of a scene's text and nothing else.
//
// A .RT file is written by hand: its layout, spacing and line ends are its
// author's. A field edit replaces exactly the characters of the numbers it
// names and keeps every other byte. It is one text_edit, a replacement of
// one stretch of the text, which is also its own undo record:
//
//   std::vector<field_value> v = {{field_ref{SEC_PRIM, 2, P_R}, "200"}};
//   text_edit e;
//   std::string why;
//   if (field_edit(text, v, e, why))   // checked: see below
//       apply_edit(text, e);            // ... and undone by apply_edit(text, undo_of(e))
//
// Several fields make one edit, from the first number changed to the end
// of the last (the text between them is in both old_text and new_text, the
// same), so a camera record's numbers change in one undoable step.
//
// field_edit checks that the result reads back as meant: every value is one
// number of its field's kind, taken whole by the reader (a whole number
// where it reads %d: "1.5" would read as 1; within the int range; a real
// number that does not overflow to inf), and the edited text, read again,
// holds every other number as it was and the same records, lights and
// groups (changing nlg, or a type to a negative number, changes how the
// numbers after it are read, and is refused). On refusal, why is one line
// naming the field as field_text does. A value the window holds as a
// number becomes its text with number_text (rtwrite.h).
#pragma once

#include "fields.h"

#include <string>
#include <vector>

struct text_edit {
    size_t at = 0;
    std::string old_text, new_text; // old_text stands at `at` before, new_text after
};

// Applies e to text; false, with text unchanged, when old_text does not
// stand at e.at (the text is not the one e was made for).
bool apply_edit(std::string &text, const text_edit &e);
// The edit that takes e back.
text_edit undo_of(const text_edit &e);

struct field_value {
    field_ref field;
    std::string text; // the number as it is to stand in the file
};

// 1 with the edit that gives each field its value (a field named twice
// takes the later value); 0 with the reason in why.
int field_edit(const std::string &text, const std::vector<field_value> &values, text_edit &out,
               std::string &why);

// The edit that writes into text the values sc holds for the fields
// listed (a camera moved by the mouse: rx ... wdu), as field_number_text
// gives them; a field whose number in text already reads as sc's value
// keeps its characters. 0 with why when a value has no text or the text
// lacks a field.
int model_edit(const std::string &text, const scene &sc, const std::vector<field_ref> &fields,
               text_edit &out, std::string &why);

// Whether text is a value the reader reads back exactly for field f; why
// says what is wrong with it.
bool value_fits(const field_ref &f, const std::string &text, std::string &why);
