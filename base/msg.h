// msg.h - what the readers and writers have to tell the user.
//
// A reader or writer is handed a msglist by its caller and adds one line
// per problem it meets (a list without its terminator, a table bound, a
// damaged picture, a write that failed), then goes on with what it can.
// It prints nothing: the caller decides how to show the lines (stderr, a
// message box, a status line). A line may name the place in its file it
// is about, 1-based line and column; 0 when it has none.
//
// Room is bounded, so a hostile file cannot fill memory with complaints:
// beyond MSG_MAX lines are counted in lost, not kept.
#pragma once

#include <string>
#include <vector>

constexpr int MSG_MAX = 64;

struct msg {
    int line = 0, col = 0; // 1-based place in the file; 0: none
    std::string text;
};

struct msglist {
    std::vector<msg> lines;
    int lost = 0; // lines dropped for lack of room

    void add(const char *fmt, ...) __attribute__((format(printf, 2, 3)));
    void add_at(int line, int col, const char *fmt, ...) __attribute__((format(printf, 4, 5)));
    bool empty() const { return lines.empty() && lost == 0; }
    void clear();
    // The text of the first line, or fallback when there is none.
    const char *first(const char *fallback = "") const;
};

// A line as a person, or an editor that jumps to it, reads it (GNU form):
//   "room.RT:12:7: warning: ks is not a number (\"abc\")"
//   "room.RT: warning: TEXT" for a line without a place.
std::string msg_text(const char *file, const msg &m, const char *kind = "warning");
