// appstate.h - what one KORU window keeps between its commands: the scene,
// the picture, the three flags, the file names and the user's choices.
//
//   rt_ready     a scene file was chosen (gate of the render commands)
//   image_ready  the planes hold a picture to show (gate of paint, print)
//   data_change  the picture was rendered and not saved since
//   load_save    which file dialog runs: 0 LOAD, 1 SAVE
//
// A new app_state is the start-up state: the flags 0, the names empty but
// szFileExt ".RT" and oldFName "*.RT", the scene as at start-up (all
// zero, length3d 0.16), the planes all 0. The window owns one, beside its
// display_state (session.h); nothing of it is global, so two windows in
// one process keep two.
//
// File names are byte strings with '/' separators. A full name longer
// than PATH_BYTES - 1 bytes cannot be opened, so the file dialog refuses
// one with a beep; the other names are copies and joins of names it
// accepted.
//
// set_ext(name, ext) is the extension switch: ext replaces everything from
// the first '.' of name (appended when there is none), so "A.B.RT" gives
// "A.BMP" and back "A.RT".
#pragma once

#include "image/rgb.h"
#include "scene/scene.h"
#include "trace/frame.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

constexpr int PATH_BYTES = PATH_MAX; // 4096 on Linux

struct anim_form;

struct app_state {
    // The scene the window works on (a render traces a copy of it), and the
    // picture it shows: ixmx x iymx dots of the planes (2.3 MB).
    scene model;
    std::unique_ptr<planes> gdata = std::make_unique<planes>();

    int rt_ready = 0;    // a scene file was chosen, also an unreadable one
    int image_ready = 0; // the planes hold a picture to show
    int data_change = 0; // rendered and not saved since
    int load_save = 0;   // the file dialog that runs: 0 LOAD, 1 SAVE
    int busy = 0;        // a render runs: every command but Help and About waits

    std::string szFileExt = ".RT"; // the scene files' extension
    std::string szFileSpec;        // the file dialog's current pattern
    std::string szFilePath;        // the directory the last dialog accepted, ending in '/'
    std::string szFileName;        // the name typed or picked in the file dialog
    std::string szFName;           // the file last opened or saved, in full
    std::string oldFName = "*.RT"; // the name the dialog offers; ".BMP" while an image dialog runs
    std::string szTmpFilePath;     // the directory handed back by the last dialog
    std::string szTmpFileSpec;     // the pattern of the next dialog: directory, "*", extension
    std::string szTmpFileName;     // the name handed back by the last dialog

    // The scene file: the one last chosen with "Open *.RT(&L)" (also when
    // it could not be read) or written with "Save *.RT(&W)"; szFName may
    // name a picture since.
    std::string scene_file;
    // Counts the scene files read into the model or written from it: the
    // model's camera is the file's whenever it moves on.
    unsigned scene_serial = 0;

    // The files opened and saved last, newest first (prefs.h keeps them).
    std::vector<std::string> recent_files;
    // Dots traced across and down per dot of the pictures the window makes
    // (Make Image, Make 3D Image, Make Anaglyph, live view's exact
    // frames): 1 (Off) to 4.
    int aa_level = 1;
    // The scene and frame a render made the picture shown of; null for a
    // picture read from a file. A click on a dot picks from them (pick.h).
    std::shared_ptr<const scene> made_scene;
    frame made_frame{};
    // "Live view(&V)" is ticked: the picture follows the scene file and
    // the mouse (live.h).
    bool live = false;
    // The Make Animation dialog's last choices (anim_form.h), once made.
    std::shared_ptr<anim_form> anim_last;

    // Whether live view can make the picture again at will, so that the
    // save question need not ask about it (save_prompt.h): camera_moves
    // counts the camera's changes by hand (live view's mouse and keys,
    // SETTING), file_camera is camera_moves when a scene file last gave or
    // took the camera, and live_camera the camera_moves of the picture
    // shown when live view made it (0 for any other picture).
    unsigned camera_moves = 1;
    unsigned file_camera = 0;
    unsigned live_camera = 0;
};

void set_ext(std::string &name, const char *ext);
