// anim_form.h - the "Make Animation" dialog without the toolkit: what its
// fields show, what its buttons do, and what OK makes of them.
//
// The dialog lists the key scenes: the current scene first (the scene as
// the window has it, camera and size included), then the files added with
// KORU's LOAD dialog, which can be removed and moved up and down. Below
// them: a turn round the look point (orbit, in degrees), the number of
// frames, frames a second, the picture size (the scene's ixmx x iymx each
// time the dialog opens), the output file, and the window's anti-aliasing
// (shown; RayTrace's menu chooses it). The window keeps the other choices
// for the next time (app_state::anim_last).
//
// OK (anim_form_ok) checks the fields in the order shown and reads every
// key file; the first mistake is said in a message box ("Error !") and
// the dialog stays open. The output's name says what is written, as
// koru-cli animate's OUT does (image/animfile.h): NAME.webp, NAME.gif, or
// numbered pictures frame_%04d.png (or .bmp); a .png or .bmp without a
// frame field holds a single frame. Other names are refused, so that no
// scene file is written over by mistake, and so is a % in the folder's
// part of the name. A name without a folder goes
// beside the scene file (the working directory when there is none); "~"
// is the home directory.
//
// The current scene becomes a key by way of its file's text (keys.h):
// rt_text, then data_load_text. Key scenes must have the same structure;
// the first difference is named with its FILE:LINE:COL in both, the
// current scene's places being those of its file while it keeps the
// file's structure ("the current scene" otherwise).
#pragma once

#include "image/animfile.h"
#include "scene/keys.h"

#include <memory>
#include <string>
#include <vector>

struct app_state;
struct session;

// What OK made of the form: everything the frames need.
struct anim_request {
    std::vector<std::shared_ptr<keyscene>> keys; // the current scene first
    int frames = 0;
    double fps = FPS_DEFAULT;
    bool orbit = false;
    double orbit_deg = 0;
    int w = 0, h = 0;
    std::string out; // absolute
    int aa = 1;
};

struct anim_form {
    std::string scene_name;        // the current scene's file, shown first ("" none)
    std::vector<std::string> keys; // the key files after it, in full
    bool orbit = false;
    std::string orbit_deg = "360";
    std::string frames = "48";
    std::string fps = "24";
    std::string width, height;
    std::string out;
    int aa = 1;       // the window's anti-aliasing, 1 (Off) to 4
    unsigned gen = 0; // counts the changes the buttons made to keys and out
    anim_request req; // set by anim_form_ok
};

// The form as the dialog opens on it: the last choices, the scene's size
// and file.
void anim_form_open(anim_form &f, const app_state &a);

// The buttons by the list: Add (KORU's LOAD dialog, *.RT), Remove and
// Up / Down for key i (1 and on: the current scene stays first); Browse
// for the output (KORU's SAVE dialog on its folder and ending). Each
// returns whether it changed the form.
bool anim_add_key(session &s, anim_form &f);
bool anim_remove_key(anim_form &f, int i);
bool anim_move_key(anim_form &f, int i, int dir);
bool anim_browse_out(session &s, anim_form &f);

// The anti-aliasing as the dialog says it: "Off", "2×2" ...
const char *anim_aa_text(int aa);

// OK: 1 with f.req filled; 0 after the message box said what is wrong.
int anim_form_ok(session &s, anim_form &f);

// The check alone: "" when the fields are good (req then filled but for
// the keys), else the message.
std::string anim_check_fields(const anim_form &f, const app_state &a, anim_request &req);

// The keys: the current scene as the window has it, then the files.
// "" with them in keys, or the message.
std::string anim_load_keys(const app_state &a, const std::vector<std::string> &files,
                           std::vector<std::shared_ptr<keyscene>> &keys);
