// actions.h - every menu item and key of the window, in one table: its
// id, its caption, the menu it is in, its keys in each view of the window,
// and how it shows. The window builds its menus and keys from it once,
// in its order, and finds each again by id.
//
//   const action_row *r = find_action(IDM_SAVEBMP);
//   r->caption "Save *.BMP(&S)", r->menu MENU_FILE
//   shortcut_keys(IDM_SAVEBMP, VIEW_STUDIO)         // "Ctrl+Shift+S"
//
// A row's id is a command id or a KEY_ id (command_ids.h); 0 for a menu (opens names it) or a
// separator (no caption). Keys are portable key text ("Ctrl+Shift+S"), several apart by "; "; "" is
// no key. The Alt mnemonics of the captions are the menus' own. In the scene studio's view Ctrl+S
// saves the scene, and Save *.BMP moves to Ctrl+Shift+S; the items of the studio's view
// (ACT_STUDIO) show only there.
//
// app_enabled(a, id) is whether an item is live: all of them but Help,
// About and Stop render wait while a render runs (busy), Stop render runs
// only then, and the commands that work on a scene (ACT_SCENE) are greyed
// until one is chosen. The editor's own items and the keys that run no
// menu command (ACT_ALWAYS) never wait. app_checked(s, id) is whether a
// checkable item (ACT_CHECK, ACT_ONE_OF) is ticked: live view, the
// studio, the anti-aliasing, the studio's follow choice, hints and light
// markers.
#pragma once

#include "app/session/command_ids.h"

struct app_state;
struct session;

enum { VIEW_PICTURE = 0, VIEW_STUDIO = 1, VIEWS = 2 };

enum {
    MENU_NONE = 0, // a key without a menu item
    MENU_BAR,      // the menu bar itself
    MENU_FILE,
    MENU_EDIT,
    MENU_RAYTRACE,
    MENU_AA,     // RayTrace's "Anti-aliasing"
    MENU_FOLLOW, // RayTrace's "Follow"
    MENU_HELP,
    MENU_ADD,  // Edit's "Add Primitive"
    MENU_VIEW, // the studio's
};

enum {
    ACT_CHECK = 1,   // ticked or not (app_checked)
    ACT_ONE_OF = 2,  // one of its menu's choices, ticked (app_checked)
    ACT_STUDIO = 4,  // shown in the studio's view only
    ACT_WINDOW = 8,  // the window's own (the editor's, opening a menu): no command of the session
    ACT_SCENE = 16,  // works on a scene: greyed until one is chosen
    ACT_ALWAYS = 32, // never greyed
    ACT_CHOSEN = 64, // a structural edit: live as what is chosen allows (studio_struct.h), decided
                     // when its menu opens; also in the outline's and the picture's context menus
};

struct action_row {
    int id;
    const char *caption; // nullptr: a separator
    int menu;            // where it is
    int opens;           // a menu's row: the menu it opens
    unsigned flags;
    const char *keys[VIEWS];
};

// The rows in the order the menus show them; count of them.
const action_row *action_rows(int &count);
const action_row *find_action(int id);
const char *shortcut_keys(int id, int view);

int app_enabled(const app_state &a, int id);
bool app_checked(const session &s, int id);
