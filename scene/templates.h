// templates.h - the scenes a new file may start from, by name.
//
//   for (int i = 0; i < scene_template_count(); i++) {
//       const scene_template &t = scene_template_at(i);
//       t.name        "csg": what koru-cli new --template takes
//       t.title       "A CSG piece": a caption for a chooser
//       t.about       one line on what it shows and what to try
//       t.text        the .RT text, laid out as rt_text lays a file out
//       t.stereo      1: meant to be seen as a crossed stereo pair
//   }
//   find_scene_template("glass")   the template of that name, or null
//   load_template(sc, t)           the template read into sc (no warning)
//
// The first is "start", new_scene_text (newscene.h). Every template reads
// with no warning and no check finding, and each is a picture in about a
// tenth of a second at 640 x 480, so a chooser can show them all drawn small
// (make_thumbnail, trace/thumbnail.h, with t.stereo).
#pragma once

#include "scene.h"

struct scene_template {
    const char *name;
    const char *title;
    const char *about;
    const char *text;
    int stereo;
};

int scene_template_count();
const scene_template &scene_template_at(int i); // 0 <= i < scene_template_count()
const scene_template *find_scene_template(const char *name);

// Reads t's text into sc, as data_load_text does.
void load_template(scene &sc, const scene_template &t);
