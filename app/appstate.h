// appstate.h - KORU's application state: the three flags, the file-name
// buffers and the command ids, shared by the commands and the dialogs.
//
//   rt_ready     a scene file was chosen (gate of the two render commands)
//   image_ready  the planes hold a picture to show (gate of paint, print)
//   data_change  the picture was rendered and not saved since
//   load_save    which file dialog runs: 0 LOAD, 1 SAVE
//
// The name buffers are fixed arrays of PATH_BYTES (the longest path the
// system takes). Nothing is ever cut to fit: the file dialog refuses a
// name that would not fit with a beep, and the other copies are of names
// the dialog accepted.
//
// app_start() puts everything back to the start-up state: the flags 0, the
// buffers empty, szFileExt ".RT" and oldFName "*.RT", the scene model as at
// start-up (all zero, length3d 0.16).
// set_ext(name, ext) is the extension switch: ext replaces everything from
// the first '.' of name (appended when there is none), so "A.B.RT" gives
// "A.BMP" and back "A.RT".
#pragma once

#include "../image/rgb.h"
#include "../scene/scene.h"

#include <climits>
#include <string>
#include <vector>

constexpr int PATH_BYTES = PATH_MAX; // 4096 on Linux
constexpr int EXT_BYTES = 8;

// Command ids of the menu "KORU"; they are the commands' identities.
enum {
    IDM_OPENBMP = 101,  // "Open *.BMP(&O)"
    IDM_SAVEBMP = 102,  // "Save *.BMP(&S)"
    IDM_EXIT = 103,     // "Exit(&X)"
    IDM_OPENRT = 201,   // "Open *.RT(&L)"
    IDM_MAKE = 202,     // "Make Image(&I)"
    IDM_MAKE3D = 203,   // "Make 3D Image(&3)"
    IDM_SETTING = 204,  // "Setting(&T)"
    IDM_SAVERT = 205,   // "Save *.RT(&W)"
    IDM_LIVE = 206,     // "Live view(&V)", checkable
    IDM_ANAGLYPH = 207, // "Make Anaglyph(&G)"
    IDM_AA1 = 211,      // "Anti-aliasing": "Off", then 2x2, 3x3, 4x4: IDM_AA1 + n - 1
    IDM_AA4 = 214,
    IDM_HELP = 301,   // "Help(&H)"
    IDM_ABOUT = 302,  // "About(&A)"
    IDM_PRINT = 400,  // "Printer(&P)"
    IDM_CONFIG = 500, // "Config(&C)"
};

extern int rt_ready, image_ready, data_change, load_save;

// The scene the window works on (a render traces a copy of it), and the
// picture it shows: ixmx x iymx dots of the planes gdata.
extern scene model;
extern planes gdata;

// The files opened and saved last, newest first (prefs.h keeps them).
extern std::vector<std::string> recent_files;
// Dots traced across and down per dot of the pictures the window makes
// (Make Image, Make 3D Image, Make Anaglyph, live view's exact frames):
// 1 (Off) to 4.
extern int aa_level;

// The scene file: the one last chosen with "Open *.RT(&L)" (also when it
// could not be read) or written with "Save *.RT(&W)"; szFName may name a
// picture since.
extern std::string scene_file;
// Counts the scene files read into the model or written from it: the
// model's camera is the file's whenever it moves on.
extern unsigned scene_serial;

extern char szFileExt[EXT_BYTES];
extern char szFileSpec[PATH_BYTES];
extern char szFilePath[PATH_BYTES];
extern char szFileName[PATH_BYTES];
extern char szFName[PATH_BYTES];
extern char oldFName[PATH_BYTES];
extern char szTmpFilePath[PATH_BYTES];
extern char szTmpFileSpec[PATH_BYTES];
extern char szTmpFileName[PATH_BYTES];

void app_start();
void set_ext(char *name, const char *ext);

// dst = a followed by b (and c); 0, with dst untouched, when it would not
// fit in n bytes.
int join2(char *dst, int n, const char *a, const char *b);
int join3(char *dst, int n, const char *a, const char *b, const char *c);
