// text_save.h - the studio's text kept safe: saved as typed, and never
// lost unasked.
//
// While the text is unsaved, whatever would drop it asks "Save the
// scene's text?" (studio_keep_text): opening a scene (from the menu, a
// drop or the recent files), New Scene, Save *.RT(W) (whose file the
// editor then shows), closing the window and turning the studio off. In
// studio view this question stands for the picture's too (save_prompt.h):
// the picture is made again from the text at will.
#pragma once

struct session;

// Asks about unsaved text. 1: the caller may go on (saved, or the user
// said No); 0: stop (Cancel, a save that failed, a Save As cancelled).
int studio_keep_text(session &s);
// Save Scene: the text, exactly as typed, to its file (Save Scene As for a
// new scene). 1 when saved.
int studio_save(session &s);
// Save Scene As: the text to a file chosen in the SAVE dialog
// (scenesave.h), which becomes the scene's file. 1 when saved.
int studio_save_as(session &s);
