// openread.h - a file opened to be read, or the reason it cannot be.
#pragma once

#include <cstdio>

struct msglist;

// path opened to read; null, with "cannot open \"PATH\": WHY" in msgs, when
// it cannot be (a directory cannot).
std::FILE *open_to_read(const char *path, msglist &msgs);
