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
    explicit numin(std::FILE *file) : f(file), p(buf), end(buf) {}
    numin(const char *text, size_t n) : p(text), end(text + n) {}
    numin(const numin &) = delete; // it may point into itself
    numin &operator=(const numin &) = delete;

    int bad = 0;                 // a read has failed; all later reads fail
    int clamped = 0;             // the last integer read was beyond the int range and clamped
    int at_line = 0, at_col = 0; // the place of the last read's token
    bool ended = false;          // the failed read found the end of the text
    char tok[48] = "";           // the failed read's token, as text to show

    // The byte layer: the next byte (EOF at the end), and the byte just
    // read put back. Places are counted as bytes pass.
    int get()
    {
        if (p == end && !refill())
            return EOF;
        const int c = (unsigned char)*p++;
        if (c == '\n')
            newline();
        return c;
    }
    void unget(int c);
    // The place of the next byte.
    int line() const { return line_; }
    int col() const;

private:
    bool refill();
    void newline();

    std::FILE *f = nullptr; // the stream, or null for text in memory
    const char *p, *end;    // the bytes at hand not yet read
    long long before = 0;   // bytes read before those at hand (a stream's)
    const char *start = p;  // the first byte at hand
    int line_ = 1, prev_line = 1;
    long long line_start = 0, prev_line_start = 0; // offset of the line's first byte
    char buf[4096];                                // a stream's bytes at hand
};

int scan_int(numin &in, int &v);    // 1 when a number was read
int scan_dbl(numin &in, double &v); // 1 when a number was read

// strtod in the "C" locale, whatever locale the process runs in.
double c_strtod(const char *s, char **end);
