// named_file.h - files named outside the dialogs: on the command line,
// dropped on the window, picked from the recent files.
//
//   open_scene(s, path)    a scene named on the command line, opened as
//                          "Open *.RT(&L)" opens the one chosen; 1 when read
//   open_picture(s, path)  a picture named on the command line, opened as
//                          "Open *.BMP(&O)" opens the one chosen
//   open_file(s, path)     a file dropped on the window or picked from the
//                          recent files: the save prompt, then a picture
//                          (.BMP, .PNG) or a scene by its name; 1 when a
//                          scene was read
//
// A name is taken from the working directory. A file named so that cannot
// be opened is said once, with the system's reason (before any question),
// and leaves the recent files; everything else stays as it was. Nothing
// opens while a render runs.
#pragma once

struct session;

int open_scene(session &s, const char *path);
void open_picture(session &s, const char *path);
int open_file(session &s, const char *path);
