// outline.h - a scene as a tree of its parts, for a list beside its text.
//
//   std::vector<outline_item> items;
//   scene_outline(items, sc, map, st);   // st: index_scene_text of the same text
//
// The items, in order: the camera (the view record from rx to iymx), the
// lights, the depth, then the primitives in file order, where each CSG
// group stands at the place of its first member with its members under it
// (depth 1). A primitive in no group stands alone (depth 0). Each item
// names its record's stretch of the text (span, line), so selecting it can
// select the record; a group's is its list in the group section.
//
// Groups are read from the partner lists, as explain lists them: each
// distinct set of a primitive and its partners once. A primitive a later
// group took into another list still stands in the earlier group too, as
// it still cuts those members.
#pragma once

#include "scenetext.h"

#include <string>
#include <vector>

struct csg_group {
    std::vector<int> members; // 0-based, ascending
    int from;                 // a member whose partner list the group is
};
// The scene's groups, each once, in the order of `from`: the first
// primitive whose partner list makes each.
std::vector<csg_group> csg_groups(const scene &sc);

enum { OUT_CAMERA, OUT_LIGHT, OUT_DEPTH, OUT_GROUP, OUT_PRIMITIVE };

struct outline_item {
    int kind;          // OUT_*
    int index;         // 0-based light or primitive; for a group, its place in csg_groups
    int number;        // as explain numbers it: from 1 (0 for the camera and the depth)
    int type;          // a primitive's type (PRIM_*), else 0
    int depth;         // 1 for a group's member, else 0
    std::string label; // "camera", "light 2", "depth", "group 3 4", "primitive 7 (box)"
    text_span span;    // the record's text; empty when the text has none
    int line;          // the line the record begins on; 0 when none
};

void scene_outline(std::vector<outline_item> &out, const scene &sc, const scene_map &map,
                   const scene_text &st);
