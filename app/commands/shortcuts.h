// shortcuts.h - the window's keys, all in one table: the menu commands'
// shortcuts (the menus show them beside the captions) and the keys that
// run no menu command. The Alt mnemonics of the captions are the menus'
// own and are not listed here.
//
//   const char *k = shortcut_keys(IDM_SAVEBMP, VIEW_STUDIO); // "Ctrl+Shift+S"
//
// Each row gives an id's keys in each view of the window, as portable key
// text ("Ctrl+Shift+S"), several keys apart by "; "; "" is no key. An id
// is a command id (command_ids.h) or one of the KEY_ ids below. In the
// scene studio's view Ctrl+S saves the scene, and Save *.BMP moves to
// Ctrl+Shift+S. shortcut_keys gives "" for an id without a row.
#pragma once

enum { VIEW_PICTURE = 0, VIEW_STUDIO = 1, VIEWS = 2 };

// Keys that run no menu command.
enum {
    KEY_FILE_MENU = 1001, // opens "File(F)", which has no mnemonic marker
    KEY_ZOOM_IN,          // Config without its dialog: the zoom one step up,
    KEY_ZOOM_OUT,         // one step down,
    KEY_ZOOM_100,         // back to 100 %
    KEY_MODE0,            // and the display modes 0, 1, 2
    KEY_MODE1,
    KEY_MODE2,
};

const char *shortcut_keys(int id, int view);
