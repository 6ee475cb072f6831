// picture_open.h - "Open *.BMP(&O)": a picture read into the window, its
// size becoming the scene's image size.
//
// cmd_open_bmp(s): the save prompt (save_prompt.h), the LOAD dialog, then
// the picture. open_picture_at(s, abs): a picture named outside the
// dialogs, known to open. A file that cannot be opened changes nothing
// (and leaves the recent files); a damaged one is shown as far as it
// reads, and said; image_ready is the loaded width != 0.
#pragma once

#include <string>

struct app_state;
struct session;

void cmd_open_bmp(session &s);
void open_picture_at(session &s, const std::string &abs);
// An absolute file path split into szTmpFilePath and szTmpFileName, as the
// file dialog would hand them over.
void take_path(app_state &a, const std::string &abs);
