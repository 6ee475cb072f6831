// studio_doc.h - what the studio knows of the text in its editor: one read
// of it, and what the panes and the editor show from that read.
//
//   auto r = read_studio_text(text, "room.RT");  // the reader, the checks,
//                                                // the index, the outline
//   r->marks          every finding, where it is in the text
//   r->complete       the primitive list ended: a picture can be made
//   name_at(*r, at)   "primitive 7 (box), ks: specular weight"
//   item_at(*r, at)   the outline item whose record holds offset at
//   field_hints(*r, item)   the field names to show under its lines
//
// A read belongs to one text: marks, names and items are offsets of that
// text, never to be laid over another one. The window reads again
// whenever the text it shows is not the one read (text is kept for that).
//
// Offsets are bytes of the text; lines and columns are 1-based, columns
// in bytes, as the reader counts them.
#pragma once

#include "base/msg.h"
#include "scene/outline.h"
#include "scene/textedit.h"

#include <memory>
#include <string>
#include <vector>

// A finding of the reader or the checks, where it stands in the text.
struct studio_mark {
    size_t at = 0, len = 0; // the text it is about; len 0 when it has no place
    int line = 0, col = 0;  // its place; 0 when none
    std::string text;       // in full, as koru-cli writes it: "room.RT:12:7: warning: ..."
};

struct studio_reading {
    std::string text; // the text read
    std::string file; // its name in the marks' texts
    scene sc;
    scene_map map;
    scene_text st;
    msglist msgs; // the reader's lines, then check_scene's and check_layout's
    std::vector<studio_mark> marks;
    std::vector<outline_item> outline;
    bool complete = false; // the primitive list ended: the text gives a scene
    std::string key;       // numbers_key: two texts with the same key are read
                           // as the same scene
};

// The numbers of a text indexed in st, in order, each followed by a blank.
std::string numbers_key(const std::string &text, const scene_text &st);

// Reads text as the window would read its file, named file in the marks.
std::unique_ptr<studio_reading> read_studio_text(const std::string &text, const std::string &file);

// The text a finding at (line, col) is about: from there to the next blank
// (at least one byte); a place at or past the end of the text marks its
// last byte that is no blank. false when the text has no such byte.
bool mark_span(const std::string &text, const line_index &lines, int line, int col, text_span &out);

// The number at (or just before) offset at, named; empty where none is.
std::string name_at(const studio_reading &r, size_t at);

// The outline item whose record holds offset at (a group's members before
// the group's list); -1 when none does.
int item_at(const studio_reading &r, size_t at);
// The item for a kind and index (outline_item.kind, .index); -1 when none.
int find_item(const studio_reading &r, int kind, int index);

// The names of the fields under a record's lines: for each line of the
// text the record's numbers stand on, rows of text in which each name
// begins at its number's column (tabs as stops every `tab` columns). A
// name that would run into the one before it on a row goes to the next
// row. Groups have none.
struct hint_line {
    int line; // 1-based
    std::vector<std::string> rows;
};
std::vector<hint_line> field_hints(const studio_reading &r, int item, int tab = 8);

// Next Problem: the first mark with a place after the cursor at caret (at
// it, when no text is selected there), else the first with a place, round
// the end; -1 when no mark has a place.
int next_mark(const std::vector<studio_mark> &marks, size_t caret, bool selected);

// Where position pos of a text stands after edit e is made in it:
// positions after the stretch replaced move with the text after it, those
// before stay, those within it stay but inside the new stretch.
size_t moved_position(size_t pos, const text_edit &e);
