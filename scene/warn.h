// warn.h - messages for the user from the file readers.
//
// A reader clears the list when it starts and adds one line per problem
// (a list without its terminator, a table bound, a damaged image). The
// readers still load what they can; the caller decides how to show the
// lines. Capacity is fixed: lines beyond WARN_MAX are counted, not kept.
#pragma once

constexpr int WARN_MAX = 32;
constexpr int WARN_LEN = 240;

extern int nwarn;    // lines kept
extern int nwarnlost; // lines dropped for lack of room
extern char warns[WARN_MAX][WARN_LEN];

void warn_clear();
void warn(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
