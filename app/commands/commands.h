// commands.h - what each command of the window does, over a session: its
// app_state and display_state (session.h), and the ui_port for everything
// the window shows or asks.
//
// app_command(s, id) carries out the command whose id a menu item or a
// key sent (command_ids.h): it finds the file that does it, and does
// nothing when app_enabled(s.app, id) is 0 and the menu shows the command
// greyed (actions.h): while a render runs, and for the commands that work
// on a scene (Make Image, Make 3D Image, Make Anaglyph, Make Animation,
// Save *.RT) until one was chosen. What happens around each command (the
// player, the studio, live view, the window after it) is pipeline.h's.
// app_close(s) is the close box and "Exit(&X)": 1 lets the window close.
//
//   picture_open.h, picture_save.h   Open *.BMP, Save *.BMP
//   scene_file.h                     Open *.RT, Save *.RT
//   named_file.h                     files named outside the dialogs
//   render_cmd.h                     Make Image, Make 3D Image, Make Anaglyph
//   anim/anim_make.h                 Make Animation
//   window_cmds.h                    Setting, Config, Printer, About, the zoom
//                                    and mode keys
//   studio/studio.h, new_scene.h,    New Scene, Save Scene, Save Scene As
//   text_save.h
//   save_prompt.h                    the question before a picture or a
//                                    text is dropped
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
// The files opened and saved go to the front of recent_files.
#pragma once

#include "app/session/command_ids.h"

struct session;

void app_command(session &s, int id);
int app_close(session &s);
