// picture_save.h - "Save *.BMP(&S)": the picture shown, to a file chosen
// in the SAVE dialog, BMP or PNG by its name.
//
// save_image(s): -1 cancelled, 1 saved (data_change 0, the file first of
// the recent files), 0 failed (said, the picture and data_change kept).
// A picture of no dots is refused with a message: nothing opens it again.
#pragma once

struct session;

extern const char *const BMP_EXT; // the pictures' extension in the dialogs

int save_image(session &s);
