// explain.h - a scene as a person reads it: each number beside the name
// of its field and what it means, so a hand-written .RT file can be read
// back.
//
//   std::string text = explain_scene(sc, &map);   // map may be null
//
// The text lists the view settings, the lights, the recursion depth, each
// primitive with its type, surface, pattern and sense named (quadric and
// cone semi-axes as the file gives them, worked back from the stored
// coefficients), its group partners, and the groups; with a map, each part
// names the line of the file it comes from. Numbers are written in the
// shortest form that reads back as the same number, whatever the locale.
#pragma once

#include "rtread.h"
#include "scene.h"

#include <string>

std::string explain_scene(const scene &sc, const scene_map *map);
// The same text in out, which is cleared first (its room kept).
void explain_scene(std::string &out, const scene &sc, const scene_map *map);
