// studio_camera_qt.h - the camera written back into the studio's text
// (studio_camera.h): moved by hand in the picture, once it rests or
// before the text is read for the picture; set in SETTING; moved in live
// view before the studio came on. Only the numbers that changed are
// rewritten, as one step of undo, and the model is not read again for
// them. A move is the text's it was made over: once another text has come
// in (a scene opened, New Scene, the file read again), a move not yet
// written is dropped.
#pragma once

#include "app/studio/studio_camera.h"

class StudioText;
struct session;

class StudioCamera {
public:
    StudioCamera(session &s, StudioText &text);
    // Around a command (pipeline.h): SETTING's camera.
    void before(int id);
    void after(int id);
    // Moved by hand (bits 1 << V_RX ...); at rest, into the text.
    void moved(unsigned fields);
    void rested();
    // The studio came on: a camera moved by hand in live view is the
    // text's from now on.
    void turned_on(unsigned hand_moved);

private:
    void forget_other_texts();
    void write(unsigned fields);

    session &s;
    StudioText &text;
    unsigned mask = 0;  // moved by hand since last written ...
    unsigned loads = 0; // ... over the text the logic put in then (studio_state's loads)
    camera_fields before_setting{};
};
