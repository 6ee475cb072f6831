// studio.h - the scene studio's logic: the scene's text written inside
// KORU, the picture made from that text, and the text kept safe.
//
// In studio view the window shows the scene's text in an editor beside the
// picture. The text, not the file, is what the picture follows (as typed,
// or on Save Scene: studio_follow.h). The file changes only on Save Scene
// and Save Scene As, which write the text exactly as typed.
//
// The window keeps `text` equal to its editor's text and `modified` to its
// editor's own mark of unsaved changes (undo back to the saved text, and it
// is unmodified again). The logic puts a new text in (a scene opened, a new
// scene) by setting text and counting `loads`; a save counts `saves`, and
// the window then marks its editor's text as saved.
//
// Typed text is never lost unasked: while it is unsaved, whatever would
// drop it asks "Save the scene's text?" (studio_keep_text): opening a
// scene (from the menu, a drop or the recent files), New Scene, Save
// *.RT(W) (whose file the editor then shows), closing the window and
// turning the studio off. In studio view this question stands for the
// picture's too: the picture is made again from the text at will.
//
//   studio_command(s, IDM_SAVESCENE)   Save Scene, Save Scene As, New Scene,
//                                      the follow choice
//   studio_take_file(s)                after a command: a scene file opened
//                                      or written is the editor's text now
//   studio_follow_text(s, msgs)        the text read into the model
#pragma once

#include "app/studio/studio_follow.h"

#include <string>

struct scene;
struct session;
struct text_edit;
struct msglist;

// The file name a new scene goes by until it is saved.
extern const char NEW_SCENE_NAME[];

struct studio_state {
    bool on = false;
    studio_follow follow; // when the text is read, and for what
    std::string text;     // the editor's text
    std::string file;     // where Save Scene writes it; empty: a new scene, never saved
    bool modified = false;
    bool hints = false; // field-name hints under the record selected
    unsigned loads = 0; // texts the logic put in
    unsigned saves = 0; // saves of the text
    // The key (studio_doc.h) of the text the model was last read from.
    std::string followed;
    // The scene file the text was last taken from, and app.scene_serial then.
    std::string taken_file;
    unsigned taken_serial = 0;
};

// Asks about unsaved text: also the save prompt of studio view (commands.h's
// save_or_not). 1: the caller may go on (saved, or the user said No); 0:
// stop (Cancel, a save that failed, a Save As cancelled).
int studio_keep_text(session &s);
// Save Scene: the text, exactly as typed, to its file (Save Scene As for a
// new scene). 1 when saved.
int studio_save(session &s);
int studio_save_as(session &s);
// New Scene(N): the template (newscene.h) as the text of a scene without a
// file, read into the model.
void studio_new(session &s);
void studio_command(session &s, int id);
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

// The edit that writes the model's camera fields in the mask (bit 1 << V_RX
// ... 1 << V_IYMX) into the text: a camera moved by hand or set in SETTING.
// Only numbers whose value changed are rewritten (textedit.h's
// model_edit). 0 with why when the text lacks them or a value has no text;
// 1 with an empty edit when nothing changed.
int studio_camera_edit(const session &s, unsigned mask, text_edit &out, std::string &why);
// A camera moved by hand, kept to HAND_DIGITS significant digits in the
// model's fields in the mask, so that its numbers in the text stay short
// (and still read back as the model holds them).
constexpr int HAND_DIGITS = 7;
void studio_round_camera(scene &sc, unsigned mask);

enum { FOLLOWED_SAME = 0, FOLLOWED_READ = 1, FOLLOWED_CUT = 2 };
// Reads the text into the model, as the live view reads its file: a text
// that stops before its primitive list ends changes nothing
// (FOLLOWED_CUT, msgs says where); one whose numbers are those last read
// changes nothing either (FOLLOWED_SAME); otherwise the model is the
// text's scene, with the stereo distance it had (FOLLOWED_READ).
int studio_follow_text(session &s, msglist &msgs);
