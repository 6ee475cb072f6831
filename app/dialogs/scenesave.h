// scenesave.h - where a scene is saved to: the name the SAVE dialog
// offers, and a question before another file is replaced.
//
//   std::string path;
//   if (ask_scene_path(s, own, path)) ... write the scene to path
//
// The dialog offers the scene's own file, in its own folder; a scene that
// has no file yet (own empty) is offered the first of "untitled.RT",
// "untitled-2.RT", "untitled-3.RT" ... that is no file in the folder of
// the last dialog. A name chosen there that is an existing file other
// than own asks "\"NAME\" exists.\nReplace it?" (MB_REPLACE: No is the
// default); No opens the dialog again. 1 with the file's full path once
// one is chosen; 0 when the dialog was cancelled.
//
// Picture files keep the SAVE dialog as it always was: any name, no
// question.
#pragma once

#include <string>

struct session;

int ask_scene_path(session &s, const std::string &own, std::string &path);

// The name a new scene is offered in folder dir ("" for the working
// directory): "untitled.RT", or "untitled-N.RT" with the smallest N from
// 2 that names no file there.
std::string untitled_name(const std::string &dir);

// Whether a and b name the same file (through links); false when either
// does not exist.
bool same_file(const std::string &a, const std::string &b);
