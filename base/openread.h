// openread.h - a file opened to be read, or the reason it cannot be.
#pragma once

#include <cstdio>
#include <string>

struct msglist;

// path opened to read; null, with "cannot open \"PATH\": WHY" in msgs, when
// it cannot be (a directory cannot).
std::FILE *open_to_read(const char *path, msglist &msgs);

// path opened to read when it holds at most most bytes (sizes.h); a larger
// file is refused before anything is read: null, with one line in msgs,
// "\"PATH\" is refused: a WHAT of N bytes, more than the M MB KORU reads",
// and *refused set. A file whose size is not known beforehand (a pipe) is
// opened: a reader that keeps what it reads stops at most itself
// (read_whole).
std::FILE *open_within(const char *path, long long most, const char *what, msglist &msgs,
                       bool *refused = nullptr);

// The whole of a file of at most most bytes into text; false, with one
// line in msgs, when it cannot be opened or read or is larger (WHAT as
// above). text is then unspecified.
bool read_whole(const char *path, long long most, const char *what, std::string &text,
                msglist &msgs);
