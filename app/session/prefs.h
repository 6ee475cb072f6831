// prefs.h - what the window remembers between runs, without the toolkit.
//
// The window stores these in the platform's usual settings place as text
// values under the keys below, and hands them back here as read; anything
// missing or malformed keeps the start-up value, so a first run (or a
// damaged file) starts as KORU always has.
//
//   zoom      Config's zoom, 50..400            mode     Config's mode, 0..2
//   live      live view on (0 or 1)             folder   the last folder a file dialog accepted
//   aa        anti-aliasing, 1 (Off) to 4
//   geometry  the window's place and size       recent   up to RECENT_MAX files, newest first
//   studio_geometry  the same in studio view, kept apart: each view comes back as it was left
//   studio    studio view on (0 or 1)           hints    field-name hints (0 or 1)
//   lights    the lights' markers in the studio (0 or 1)
//   follow    the studio's picture follows the typing (0) or the saves (1)
//   docks     the studio's panes as the toolkit lays them out
#pragma once

#include <map>
#include <string>
#include <vector>

constexpr int RECENT_MAX = 4;

struct prefs {
    int zoom = 100;
    int mode = 0;
    bool live = false;
    int aa = 1;                  // anti-aliasing, 1 (Off) to 4
    std::string folder;          // ends with '/', or empty
    std::string geometry;        // the toolkit's own text for it, or empty
    std::string studio_geometry; // the same in studio view
    std::vector<std::string> recent;
    bool studio = false;
    int follow = 0;     // FOLLOW_TYPING or FOLLOW_SAVE (studio_follow.h)
    std::string docks;  // the toolkit's own text for the panes' layout, or empty
    bool hints = false; // field-name hints under the record at the cursor
    bool lights = true; // the lights' markers over the studio's picture
};

prefs prefs_from(const std::map<std::string, std::string> &kv);
std::map<std::string, std::string> prefs_to(const prefs &p);

// Puts path first in the list, once, keeping at most RECENT_MAX.
void add_recent(std::vector<std::string> &recent, const std::string &path);
void remove_recent(std::vector<std::string> &recent, const std::string &path);

// The zoom steps of Ctrl+= and Ctrl+-: the next step above or below zoom
// (zoom itself need not be a step), kept within 50..400.
extern const int ZOOM_STEPS[7];
int zoom_step(int zoom, int dir);
