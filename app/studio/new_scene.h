// new_scene.h - New Scene(N): the choice of the scene to start from.
//
// The window's chooser (ui_port::new_scene_dialog) lists the templates of
// scene/templates.h in their order, each with its title, the line about it
// and its thumbnail; the first, the floor and sphere New Scene has always
// started from, is chosen as it opens, so Enter gives that scene.
//
//   new_scene_choose(s)    asks before anything changes: 0 cancelled (the
//                          studio, its text and the picture as they were),
//                          1 chosen (s.studio.new_template)
//   studio_new(s)          (studio.h) then makes that template the text of
//                          a scene without a file, titled NEW_SCENE_NAME,
//                          unmodified, and says on the status line which
//                          template it is and what it shows
//   new_scene_thumbnail(i, size, cancel, pic)
//                          template i drawn small (make_thumbnail, as a
//                          stereo pair when it is meant as one): THUMB_FULL
//                          or THUMB_SMALL with pic, THUMB_NONE without;
//                          bounded in time, so the chooser makes them
//                          beside the window as it shows and they arrive
//                          when they are ready
#pragma once

#include "image/rgb.h"

#include <atomic>

struct session;

struct new_scene_form {
    int chosen = 0; // the template's index (scene_template_at)
};

int new_scene_choose(session &s);

// Thumbnails' longest side in the chooser, in dots.
constexpr int NEW_SCENE_THUMB = 128;

int new_scene_thumbnail(int i, int size, const std::atomic<bool> *cancel, picture &pic);
