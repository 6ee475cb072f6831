// numin.h - formatted number input, as "%d" and "%lf" read a text stream
// (or text in memory), keeping count of where in the text each number
// stands.
//
// Leading white space is skipped, then the longest text that can begin a
// number is taken and must form one: "1.5" read as an int gives 1 and
// leaves ".5" for the next read; "1e" or "-" is no number. A failed read
// leaves its destination unchanged, and since the offending text stays in
// the way, every read after it fails as well: the stream is spent.
// Conversions never depend on the process locale.
//
// Places are 1-based lines and columns, a column counting bytes (a tab is
// one). After each read, at is where its token began (after the blanks),
// or, when the text ended before a token, where it ended. A failed read
// also keeps the offending token (shortened, unprintable bytes escaped) in
// tok, or sets ended when there was none.
#pragma once

#include <cstddef>
#include <cstdio>

struct numin {
    explicit numin(std::FILE *file) : f(file) {}
    numin(const char *text, size_t n) : f(nullptr), p(text), end(text + n) {}

    std::FILE *f; // the stream, or null for text in memory
    int bad = 0;     // a read has failed; all later reads fail
    int clamped = 0; // the last integer read was beyond the int range and clamped
    int line = 1, col = 1;     // the place of the next byte
    int at_line = 0, at_col = 0; // the place of the last read's token
    bool ended = false;        // the failed read found the end of the text
    char tok[48] = "";         // the failed read's token, as text to show

    // the byte layer: getc and one byte put back, counting places
    int get();
    void unget(int c);

private:
    const char *p = nullptr, *end = nullptr; // the text not yet read
    static constexpr int NONE = -2;
    int ahead = NONE; // a byte put back, or NONE
    int prev_line = 1, prev_col = 1;
};

int scan_int(numin &in, int &v);    // 1 when a number was read
int scan_dbl(numin &in, double &v); // 1 when a number was read

// strtod in the "C" locale, whatever locale the process runs in.
double c_strtod(const char *s, char **end);
