// studio_state.h - what the scene studio keeps in a window's session.
//
// In studio view the window shows the scene's text in an editor beside the
// picture. The text, not the file, is what the picture follows (as typed,
// or on Save Scene: studio_follow.h). The file changes only on Save Scene
// and Save Scene As, which write the text exactly as typed (text_save.h).
//
// The window keeps `text` equal to its editor's text and `modified` to its
// editor's own mark of unsaved changes (undo back to the saved text, and it
// is unmodified again). The logic puts a new text in (a scene opened, a new
// scene) by setting text and counting `loads`; a save counts `saves`, and
// the window then marks its editor's text as saved.
#pragma once

#include "app/studio/studio_follow.h"

#include <string>

// The file name a new scene goes by until it is saved.
extern const char NEW_SCENE_NAME[];

struct studio_state {
    bool on = false;
    studio_follow follow; // when the text is read, and for what
    std::string text;     // the editor's text
    std::string file;     // where Save Scene writes it; empty: a new scene, never saved
    bool modified = false;
    bool hints = false;   // field-name hints under the record selected
    int new_template = 0; // the template New Scene makes next (new_scene.h)
    bool lights = true;   // the lights' markers over the picture
    unsigned loads = 0;   // texts the logic put in
    unsigned saves = 0;   // saves of the text
    // The key (studio_doc.h) of the text the model was last read from.
    std::string followed;
    // The scene file the text was last taken from, and app.scene_serial then.
    std::string taken_file;
    unsigned taken_serial = 0;
};
