// scene_file.h - "Open *.RT(&L)" and "Save *.RT(&W)": the scene file the
// window works on.
//
// cmd_open_rt(s): the save prompt, the LOAD dialog, then the scene: the
// title names it, it becomes the scene file (also when it cannot be
// read: rt_ready 1, and the reader's words said), and one that was read
// goes first in the recent files and counts in scene_serial (its camera
// is the model's now). cmd_save_rt(s): the model, camera and size as
// they stand, to a file chosen in the SAVE dialog (scenesave.h), which
// becomes the scene file. open_scene_at(s, abs): a scene named outside
// the dialogs, known to open; 1 when read. report_unopened says a scene
// file that cannot be opened: the reader's line on the standard output,
// and one message with the system's reason.
#pragma once

#include <string>

struct msglist;
struct session;

void cmd_open_rt(session &s);
void cmd_save_rt(session &s);
int open_scene_at(session &s, const std::string &abs);
void report_unopened(session &s, const std::string &name, const msglist &msgs);
