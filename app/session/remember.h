// remember.h - what a window takes from the settings remembered between
// runs (prefs.h) as it opens, and what it gives back as it closes.
//
// take_prefs(s, p): kept as s.kept; the zoom, the display mode, the
// recent files, the anti-aliasing, the studio's follow choice, hints and light markers,
// and the folder of the last file dialog while it is one. Live view,
// studio view and the window's places are the window's to turn on and
// restore. give_prefs(s): s.kept with what the session has now: the
// recent files, the anti-aliasing, the last dialog's folder, live view,
// studio view and the studio's choices. The zoom and mode stay as the
// user last chose them (pipeline.h keeps them): the command line's hold
// for one run.
#pragma once

struct prefs;
struct session;

void take_prefs(session &s, const prefs &p);
void give_prefs(session &s);
