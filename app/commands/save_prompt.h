// save_prompt.h - the question before what is shown is replaced: "Image is
// changed !  Do you save ?".
//
// save_or_not(s) asks only while picture_unsaved: image_ready and
// data_change are both 1, and the picture is not one that live view makes
// again at will (live_remakes: live view made it from the scene file with
// the file's own camera). Yes saves (a cancelled SAVE dialog goes on, a
// failed save stops the caller), No goes on, Cancel stops. 1: the caller
// may go on. In live view, where every move of the camera makes a new
// picture, No also counts as an answer for the picture: it is not asked
// about again. In studio view it asks about the scene's unsaved text
// instead (text_save.h), and save_or_not_picture, before a picture is
// opened, not at all: the picture is made again from the text at will.
#pragma once

struct app_state;
struct session;

int save_or_not(session &s);
int save_or_not_picture(session &s);
// Whether the window's title marks what it shows as unsaved: the studio's
// text in studio view, else the picture (picture_unsaved).
bool shown_unsaved(const session &s);
bool picture_unsaved(const app_state &a);
bool live_remakes(const app_state &a);
