// render_cmd.h - "Make Image(&I)", "Make 3D Image(&3)", "Make
// Anaglyph(&G)": the model rendered beside the window.
//
// cmd_make(s, stereo, anaglyph) does nothing without a scene (rt_ready).
// A size of no dots is refused with koru-cli's words, before anything
// starts: it would blank the window and drop its picture. The render runs
// beside the window as a job (ui_port::run_render, session.h): cmd_make
// returns as it starts, and the picture is shown (show_made) when it has
// ended. A render stopped by the user, or too deep, or without a view,
// keeps the previous picture and the flags (the latter two said); Stop
// render asked for before the picture is shown, even after its last row,
// keeps it too.
#pragma once

struct session;

void cmd_make(session &s, int stereo, bool anaglyph = false);
