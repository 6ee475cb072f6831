// messages.h - the message texts the commands and printing show, and the
// log of what a window said (say.h writes it).
//
// no_dots(w, h, what) says a picture size of no dots as koru-cli says it,
// "The picture size W x H has no dots; WHAT."; "" when the size has dots.
// warn_text(head, msgs, file) is head followed by msgs' lines, one a line,
// and "(and N more)" for lines the list left out; with file, each line
// reads as koru-cli writes it, "FILE:LINE:COL: warning: ...".
//
// message_log keeps what a window said in one session, in message boxes
// and on its status line, oldest first and whole, for the user to read
// again: at most LOG_MAX texts, the oldest dropped first (and counted).
// log_text is the lot, one text after another, a blank line between.
#pragma once

#include <deque>
#include <string>

struct msglist;

std::string no_dots(int w, int h, const char *what);
std::string warn_text(const std::string &head, const msglist &msgs, const char *file = nullptr);

constexpr int LOG_MAX = 500;

struct message_log {
    std::deque<std::string> texts;
    long dropped = 0;
    void add(const std::string &text);
};

std::string log_text(const message_log &log);
