// numin.h - formatted number input, as "%d" and "%lf" read a text stream.
//
// Leading white space is skipped, then the longest text that can begin a
// number is taken and must form one: "1.5" read as an int gives 1 and
// leaves ".5" for the next read; "1e" or "-" is no number. A failed read
// leaves its destination unchanged, and since the offending text stays in
// the way, every read after it fails as well: the stream is spent.
// Conversions never depend on the process locale.
#pragma once

#include <cstdio>

struct numin {
    FILE *f;
    int bad;     // a read has failed; all later reads fail
    int clamped; // integers beyond the int range were clamped
};

int scan_int(numin &in, int &v);    // 1 when a number was read
int scan_dbl(numin &in, double &v); // 1 when a number was read

// strtod in the "C" locale, whatever locale the process runs in.
double c_strtod(const char *s, char **end);
