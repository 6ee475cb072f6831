// say.h - what the logic tells the user, and the one log of it.
//
// ErrorMsg(s, text) shows text in a message box with the caption "Error !",
// a question-mark icon and an OK button (ui_port::message), and returns 0.
// say(s, text) puts text on the status line, the whole of it as its
// tooltip (ui_port::status). Both keep the text in the session's log
// (s.said, messages.h), which the window shows whole on request; a line
// that only names what the cursor is on (keep false) is shown and not
// kept, and an empty one clears the line.
#pragma once

#include <string>

struct session;

int ErrorMsg(session &s, const char *text);
void say(session &s, const std::string &text, bool keep = true);
