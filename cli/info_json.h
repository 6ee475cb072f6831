// info_json.h - the scene model as one JSON object, as "koru-cli info"
// prints it.
//
// info_json(out, sc, msgs) writes the camera and size, the lights and
// primitives in table order (quadric and cone coefficients as stored,
// partner lists as 0-based indices) and the reader's lines msgs, then a
// newline. Numbers that
// are not finite are written as null, so the object is always valid JSON.
#pragma once

#include <cstdio>
#include <string>

struct msglist;
struct scene;

void info_json(std::FILE *out, const scene &sc, const msglist &msgs);
// The same text, in out (cleared first, its room kept).
void info_json_text(std::string &out, const scene &sc, const msglist &msgs);
