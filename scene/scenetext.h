// scenetext.h - where each number of a scene's text stands, and what it is.
//
// The reader's map (rtread.h) knows the place (line, column) where each
// field's number begins. index_scene_text turns that into byte ranges of
// the text and adds the numbers after the records that no field holds:
// the primitive list's terminator, the group lists and their terminators,
// and records beyond PRIM_MAX, which are read and dropped. Where a read
// failed (text that is no number, the end of the file) no number stands;
// after a primitive list without its terminator nothing more is indexed.
//
//   scene sc; scene_map map; msglist msgs;
//   data_load_text(sc, text.data(), text.size(), msgs, &map);
//   scene_text st;
//   index_scene_text(st, text.data(), text.size(), sc, map);
//   const text_number *n = number_at(st, cursor);     // byte offset
//   if (n) status(number_name(sc, *n));   // "primitive 7 (box), ks: specular weight"
//   text_span s;
//   field_span(st, field_ref{SEC_PRIM, 6, P_KS}, s);  // where that number stands
//
// Offsets are bytes from the start of the text; a line ends at '\n' (a
// '\r' before it is a blank, as the reader takes it).
#pragma once

#include "fields.h"
#include "rtread.h"
#include "scene.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct text_span {
    size_t at = 0, len = 0;
    size_t end() const { return at + len; }
};

// Where the text's lines begin, to turn places into offsets and back.
struct line_index {
    std::vector<size_t> start; // offset of each line's first byte; line 1 first
    size_t size = 0;           // the text's length
    void build(const char *text, size_t n);
    // The offset of a place; size when the place is not in the text.
    size_t offset(const place &p) const;
    place place_of(size_t at) const;
};

// What a number of the text is.
enum {
    NUM_FIELD,      // a field of the view, a light or a primitive
    NUM_LIST_END,   // the negative number that ends the primitive list
    NUM_MEMBER,     // a primitive number in a group list
    NUM_GROUP_END,  // the negative number that ends a group list
    NUM_OVERFLOW,   // the number read after a group's MEMBER_MAX-th member, dropped
    NUM_GROUPS_END, // the negative number that ends the group section
    NUM_DROPPED,    // a number of a record beyond PRIM_MAX, read and not used
};

struct text_number {
    text_span span;
    int kind = NUM_FIELD;
    field_ref field; // NUM_FIELD; for NUM_DROPPED, the record's field and number
    int group = 0;   // the group lists' numbers: which, from 1, as the reader counts them
    int member = 0;  // NUM_MEMBER: its place in the list, from 1
    int value = 0;   // NUM_MEMBER: the primitive number written
};

struct scene_text {
    line_index lines;
    std::vector<text_number> numbers; // in text order
    int view[VIEW_FIELDS];            // index in numbers of each view field, or -1
    std::vector<int> light, prim;     // index in numbers of each record's first field
};

// Indexes text, from which sc and map were read. A text of more than
// SCENE_FILE_MAX bytes, which the reader does not read, has no numbers.
void index_scene_text(scene_text &out, const char *text, size_t n, const scene &sc,
                      const scene_map &map);

// The number whose text holds offset at, or ends there (a cursor just after
// it); null when there is none.
const text_number *number_at(const scene_text &t, size_t at);

// Where a field's number stands; false when the text did not get so far.
bool field_span(const scene_text &t, const field_ref &f, text_span &out);

// The number as explain names it: "view, dlength: eye distance from the
// look point", "primitive 7 (box), ks: specular weight", "group 2,
// member 1: primitive 5", "the end of the primitive list".
std::string number_name(const scene &sc, const text_number &n);

// A text as the reader takes it, with its index (about 60 KB: made on the
// heap). The reader's warnings are not kept.
struct text_reading {
    scene sc;
    scene_map map;
    scene_text st;
};
std::unique_ptr<text_reading> read_scene_text(const std::string &text);
