// studio.h - the scene studio's logic: the picture made from the scene's
// text written inside KORU (studio_state.h), and the text kept with its
// file.
//
//   studio_take_file(s)          after a command: a scene file opened or
//                                written is the editor's text now
//   studio_follow_text(s, msgs)  the text read into the model
//   studio_followed_edit(s, was) an edit the model holds already
//   studio_file_changed(s)       another program wrote the file
//
// Saving the text and the question before it is dropped: text_save.h; the
// camera written into it: studio_camera.h; the studio's commands (New
// Scene, Save Scene ...) are dispatched with the others (commands.h).
#pragma once

#include <string>

struct session;
struct msglist;

// New Scene(N), once the unsaved text was asked about: the template chosen
// (new_scene.h) as the text of a scene without a file, read into the model.
void studio_new(session &s);
// Whether command id may run now in studio view: Save *.RT(W) first asks
// about unsaved text, as its file then replaces the text.
int studio_allows(session &s, int id);
// The studio turned off: unsaved text is asked about first. 0: it stays on.
int studio_turn_off(session &s);

// When the scene file moved on (opened, or written by Save *.RT(W)) since
// the text was last taken from it, its bytes become the text. true when
// the text was replaced.
bool studio_take_file(session &s);

// The scene file changed on disk (another program wrote it). An unmodified
// text takes the file's bytes (DISK_TAKEN); a modified one stays, and Save
// Scene will replace the file (DISK_KEPT). DISK_SAME: the file holds the
// text (a save of ours); DISK_GONE: it cannot be read.
enum { DISK_SAME = 0, DISK_TAKEN, DISK_KEPT, DISK_GONE };
int studio_file_changed(session &s);

enum { FOLLOWED_SAME = 0, FOLLOWED_READ = 1, FOLLOWED_CUT = 2 };
// Reads the text into the model, as the live view reads its file: a text
// that stops before its primitive list ends changes nothing
// (FOLLOWED_CUT, msgs says where); one whose numbers are those last read,
// while the model's camera is still the text's, changes nothing either
// (FOLLOWED_SAME); otherwise the model is the text's scene, with the
// stereo distance it had (FOLLOWED_READ).
int studio_follow_text(session &s, msglist &msgs);
// The text was edited to numbers the model holds already (the camera
// written into it): when the model followed the text before, before, it
// follows the text now, so that the edit taken back is read again.
void studio_followed_edit(session &s, const std::string &before);
