// live.h - the live view's decisions, without the toolkit.
//
// While live view is on, the window tells a live_state what happens (the
// scene file changed on disk, the user moved the camera, the mouse rested,
// a command ran, a frame ended) and asks next() what to start. At most one
// frame runs at a time. An event that makes the running frame stale
// returns true: the window cancels that frame at once, reports its end
// with frame_done, and asks next() again.
//
//   LIVE_RELOAD    read the scene file again, then report reloaded(ok);
//                  a file that cannot be read keeps the last picture
//   LIVE_PREVIEW   a preview frame: a subset of the dots, shown enlarged,
//                  whenever the camera moved since the last one started
//   LIVE_EXACT     Make Image's picture, once the mouse rests and no
//                  preview is due; a frame that ends in a failure (no
//                  view, too deep) is not tried again until something
//                  changes
//
// A reload comes first, then previews, then the exact picture. A new file
// or camera makes a running frame stale; a rest does not.
#pragma once

#include "scene/scene.h"

struct msglist;

enum { LIVE_IDLE = 0, LIVE_RELOAD, LIVE_PREVIEW, LIVE_EXACT };
enum { RELOAD_NOFILE = 0, RELOAD_READ = 1, RELOAD_CUT = 2 };

struct live_state {
    bool on = false;
    int running = LIVE_IDLE; // the frame running: LIVE_PREVIEW, LIVE_EXACT or idle
    bool reload = false;     // the file changed since it was last read
    bool preview = false;    // the camera moved since the last preview started
    bool exact = false;      // the exact picture is due
    bool resting = true;     // no input since the rest time
    bool stale_run = false;  // the frame running was made stale
    // The camera and size as the scene file last gave them.
    struct camera {
        double rx, ry, rz, vx, vy, vz, dlength, wdu;
        int w, h;
    } file_cam{};
    bool have_file_cam = false;

    bool turn_on();  // a picture of the current scene is due
    bool turn_off(); // nothing more starts
    bool file_changed();
    bool moved();
    void rest();
    void reloaded(bool ok);
    void frame_done(int kind, int rc); // rc: the render's RAY_ code
    // A command of the menu ran: a new scene, the SETTING dialog's new
    // camera, or another choice of anti-aliasing wants a new picture;
    // other commands leave the live view be.
    bool command_ran(int id);
    int next();

    // LIVE_RELOAD: reads the scene file path again into sc. While the
    // file's camera and size stay as they were, the ones moved by hand or
    // set in SETTING are kept; a file that gives new ones is obeyed.
    // Returns RELOAD_READ when read (msgs: the reader's lines); otherwise sc
    // is unchanged and msgs says why: RELOAD_NOFILE when the file cannot be
    // opened, RELOAD_CUT when it stops before its primitive list ends (as
    // a file being written or typed does), which gives no picture worth
    // showing. took_camera says whether a read took the file's camera.
    int reload_scene(scene &sc, const char *path, msglist &msgs);
    bool took_camera = false;
    // The file's camera is the one sc holds now (just opened or saved).
    void remember_file_camera(const scene &sc);
};
