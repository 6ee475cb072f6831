// messages.h - the message texts the commands and printing show.
//
// ErrorMsg(ui, text) shows text in a message box with the caption
// "Error !", a question-mark icon and an OK button; it returns 0.
// warn_text(head, msgs, file) is head followed by msgs' lines, one a line,
// and "(and N more)" for lines the list left out; with file, each line
// reads as koru-cli writes it, "FILE:LINE:COL: warning: ...".
#pragma once

#include <string>

struct msglist;
struct ui_port;

int ErrorMsg(ui_port &ui, const char *text);
std::string warn_text(const std::string &head, const msglist &msgs, const char *file = nullptr);
