// commands.h - what each menu command of the window does, in order, over
// a session: its app_state and display_state (session.h), and the ui_port
// for everything the window shows or asks.
//
// app_command(s, id) carries out the command whose id the menu sent
// (command_ids.h); it does nothing when app_enabled(s.app, id) is 0 and
// the menu shows the command greyed (actions.h): while a render runs, and
// for the commands that work on a scene (Make Image, Make 3D Image, Make
// Anaglyph, Make Animation, Save *.RT) until one was chosen.
// app_close(s) is the close box and "Exit(&X)": 1 lets the window close.
//
// Files named outside the dialogs:
//   open_scene(s, path)    a scene named on the command line, opened as
//                          "Open *.RT(&L)" opens the one chosen; 1 when read
//   open_picture(s, path)  a picture named on the command line, opened as
//                          "Open *.BMP(&O)" opens the one chosen
//   open_file(s, path)     a file dropped on the window or picked from the
//                          recent files: the save prompt, then a picture
//                          (.BMP, .PNG) or a scene by its name
// A file named so that cannot be opened is said once, with the system's
// reason, and leaves the recent files; everything else stays as it was.
// Config without its dialog: zoom_by(s, +1 / -1) steps the zoom through
// 50, 75, 100, 150, 200, 300, 400 (0: back to 100); set_mode(s, m) picks
// the display mode; both redisplay a picture there is.
//
// Make Image, Make 3D Image and Make Anaglyph render beside the window
// (ui_port::run_render, a job: session.h): app_command returns as the
// render starts, and the picture is shown when it has ended. Stop render
// asked for before then, even after its last row, keeps the picture
// there was.
//
// The files opened and saved go to the front of recent_files.
//
// Flags, as the commands leave them:
//   Open *.RT closed with OK     rt_ready = 1 (also when unreadable)
//   Make Image / Make 3D Image   image_ready = data_change = 1, unless the
//                                render was cancelled, had no view or
//                                would have no dots (refused, with a
//                                message: the picture stays)
//   Open *.BMP closed with OK    image_ready = the loaded width != 0; a
//                                file that cannot be opened keeps it
//   a save that succeeded        data_change = 0
//
// save_or_not asks "Image is changed !  Do you save ?" only while
// picture_unsaved: image_ready and data_change are both 1, and the
// picture is not one that live view makes again at will (live_remakes:
// live view made it from the scene file with the file's own camera). Yes
// saves (a cancelled SAVE dialog goes on, a failed save stops the
// caller), No goes on, Cancel stops. 1: the caller may go on. In live
// view, where every move of the camera makes a new picture, No also
// counts as an answer for the picture: it is not asked about again.
// Saving a picture of no dots is refused with a message. In studio view
// it asks about the scene's unsaved text instead (studio.h), and not at
// all before a picture is opened.
#pragma once

#include "app/commands/actions.h"
#include "app/session/command_ids.h"
#include "app/session/session.h"

class render_job;

int save_or_not(session &s);
bool picture_unsaved(const app_state &a);
bool live_remakes(const app_state &a);

void app_command(session &s, int id);
int app_close(session &s);
int open_scene(session &s, const char *path);
// The picture of a finished render of the model, kept and shown as Make
// Image keeps it: the planes, the display, image_ready and data_change.
void show_made(session &s, const render_job &job);
void open_picture(session &s, const char *path);
int open_file(session &s, const char *path);
void zoom_by(session &s, int dir);
void set_mode(session &s, int m);
