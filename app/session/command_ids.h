// command_ids.h - the ids of the menu "KORU"'s commands and of the keys
// that run no menu command: what the menu and the keys send (their table:
// actions.h), what app_command (commands.h) carries out, and what the
// live view asks about (live.h).
#pragma once

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
    IDM_ANIMATE = 220,  // "Make Animation(&M)..."
    IDM_STOP = 231,     // "Stop render": only while a render or an animation runs
    IDM_AA1 = 211,      // "Anti-aliasing": "Off", then 2x2, 3x3, 4x4: IDM_AA1 + n - 1
    IDM_AA4 = 214,
    IDM_HELP = 301,   // "Help(&H)"
    IDM_ABOUT = 302,  // "About(&A)"
    IDM_GUIDE = 303,  // "Guide(&G)"
    IDM_PRINT = 400,  // "Printer(&P)"
    IDM_CONFIG = 500, // "Config(&C)"

    // the scene studio (studio.h); all but the first two in studio view only
    IDM_NEWSCENE = 221,      // "New Scene(&N)"
    IDM_STUDIO = 222,        // "Studio(&U)", checkable
    IDM_SAVESCENE = 223,     // "Save Scene"
    IDM_SAVESCENEAS = 224,   // "Save Scene As..."
    IDM_FOLLOW_TYPING = 225, // "Follow": "As I type"
    IDM_FOLLOW_SAVE = 226,   // ... "On save"
    IDM_NEXTPROBLEM = 227,   // "Next Problem" (Edit)
    IDM_FIND = 228,          // "Find..." (Edit)
    IDM_FINDNEXT = 229,      // "Find Next" (Edit)
    IDM_FINDPREV = 230,      // "Find Previous" (Edit)
    IDM_UNDO = 232,          // "Undo" (Edit): the editor's own
    IDM_REDO = 233,          // "Redo" (Edit): the editor's own
    IDM_HINTS = 234,         // "Field Hints" (Edit), checkable

    // the studio's structural edits (studio_struct.h), in Edit and the
    // outline's and picture's context menus
    IDM_ADD_PLANE = 260, // "Add Primitive": "Plane" ... "Cone": IDM_ADD_PLANE + SHAPE_*
    IDM_ADD_CONE = 265,
    IDM_DUPLICATE = 266,     // "Duplicate"
    IDM_DELETE = 267,        // "Delete"
    IDM_MOVE_UP = 268,       // "Move Up"
    IDM_MOVE_DOWN = 269,     // "Move Down"
    IDM_ADD_LIGHT = 270,     // "Add Light"
    IDM_DUP_LIGHT = 271,     // "Duplicate Light"
    IDM_DEL_LIGHT = 272,     // "Delete Light"
    IDM_MAKE_GROUP = 273,    // "Make Group"
    IDM_ADD_TO_GROUP = 274,  // "Add to Group"
    IDM_REMOVE_MEMBER = 275, // "Remove from Group"
    IDM_UNGROUP = 276,       // "Ungroup"
    IDM_LIGHTMARKS = 250,    // "Light Markers" (View), checkable
};

// Keys that run no menu command.
enum {
    KEY_FILE_MENU = 1001, // opens "File(F)", which has no mnemonic marker (the window's own)
    KEY_ZOOM_IN,          // Config without its dialog: the zoom one step up,
    KEY_ZOOM_OUT,         // one step down,
    KEY_ZOOM_100,         // back to 100 %
    KEY_MODE0,            // and the display modes 0, 1, 2
    KEY_MODE1,
    KEY_MODE2,
};
