#include "numin.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <initializer_list>
#include <locale.h>

namespace {

constexpr int TOK_MAX = 1024;
constexpr int SHOW_MAX = 32; // bytes of an offending token shown

// Byte classes, looked up once per byte read: blanks as isspace takes
// them in the "C" locale, and the digits.
enum { BLANK = 1, DIGIT = 2 };
struct classes {
    unsigned char of[257] = {}; // [c + 1]: EOF too
    constexpr classes()
    {
        for (int c : {' ', '\t', '\n', '\v', '\f', '\r'})
            of[c + 1] = BLANK;
        for (int c = '0'; c <= '9'; c++)
            of[c + 1] = DIGIT;
    }
};
constexpr classes byte_class;

bool space(int c) { return byte_class.of[c + 1] & BLANK; }
bool digit(int c) { return byte_class.of[c + 1] & DIGIT; }
int lower(int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// Skips blanks; the first other byte is returned, and its place (or the
// place where the text ended) becomes the token's.
int skip_space(numin &in)
{
    int c;
    do
        c = in.get();
    while (space(c));
    in.at_line = in.line();
    in.at_col = in.col() - (c != EOF); // the byte c came from, which is no newline
    return c;
}

struct token {
    char s[TOK_MAX + 1];
    int n = 0;
    bool full = false;
    void put(int c)
    {
        if (n < TOK_MAX)
            s[n++] = (char)c;
        else
            full = true;
    }
};

// Consume the letters of word (case-insensitive) while they match; true
// when the whole word was there. c holds the first character on entry and
// the first character after the match on return.
bool take_word(numin &in, int &c, const char *word, token &t)
{
    for (const char *w = word; *w; w++) {
        if (lower(c) != *w)
            return false;
        t.put(c);
        c = in.get();
    }
    return true;
}

// A read has failed at the token that began with t[0..n) and goes on with
// c: keep it to show (up to the next blank), and spend the stream.
int refuse(numin &in, const char *t, int n, int c)
{
    in.bad = 1;
    int k = 0;
    bool cut = false;
    auto show = [&](int b) {
        if (k > SHOW_MAX - 4) {
            cut = true;
            return;
        }
        static const char hex[] = "0123456789abcdef";
        b &= 0xff;
        if (b >= 0x20 && b < 0x7f && b != '"' && b != '\\') {
            in.tok[k++] = (char)b;
        } else {
            in.tok[k++] = '\\';
            in.tok[k++] = 'x';
            in.tok[k++] = hex[b >> 4];
            in.tok[k++] = hex[b & 15];
        }
    };
    for (int i = 0; i < n; i++)
        show(t[i]);
    for (; c != EOF && !space(c) && !cut; c = in.get())
        show(c);
    if (cut) {
        in.tok[k++] = '.';
        in.tok[k++] = '.';
        in.tok[k++] = '.';
    }
    in.tok[k] = 0;
    in.ended = n == 0 && k == 0;
    return 0;
}

} // namespace

bool numin::refill()
{
    if (!f)
        return false;
    const size_t n = std::fread(buf, 1, sizeof buf, f);
    if (!n)
        return false;
    before += p - start;
    start = p = buf;
    end = buf + n;
    return true;
}

void numin::newline()
{
    prev_line = line_;
    prev_line_start = line_start;
    if (line_ < INT_MAX)
        line_++;
    line_start = before + (p - start);
}

void numin::unget(int c)
{
    if (c == EOF)
        return;
    p--; // the byte just read is still at hand
    if (c == '\n') {
        line_ = prev_line;
        line_start = prev_line_start;
    }
}

int numin::col() const
{
    const long long c = before + (p - start) - line_start + 1;
    return c < INT_MAX ? (int)c : INT_MAX;
}

double c_strtod(const char *s, char **end)
{
    static locale_t cloc = newlocale(LC_ALL_MASK, "C", (locale_t)0);
    return strtod_l(s, end, cloc);
}

int scan_int(numin &in, int &v)
{
    if (in.bad)
        return 0;
    in.clamped = 0;
    int c = skip_space(in);
    char sign = 0;
    if (c == '+' || c == '-') {
        sign = (char)c;
        c = in.get();
    }
    long long acc = 0;
    bool any = false, over = false;
    while (digit(c)) {
        any = true;
        if (acc <= (long long)INT_MAX + 1)
            acc = acc * 10 + (c - '0');
        else
            over = true;
        c = in.get();
    }
    if (!any)
        return refuse(in, &sign, sign ? 1 : 0, c);
    in.unget(c);
    if (sign == '-')
        acc = -acc;
    if (over || acc > INT_MAX || acc < INT_MIN) {
        in.clamped = 1;
        acc = acc < 0 ? INT_MIN : INT_MAX;
    }
    v = (int)acc;
    return 1;
}

int scan_dbl(numin &in, double &v)
{
    if (in.bad)
        return 0;
    token t;
    int c = skip_space(in);
    if (c == '+' || c == '-') {
        t.put(c);
        c = in.get();
    }
    bool ok;
    if (lower(c) == 'i') {
        ok = take_word(in, c, "inf", t);
        if (ok && lower(c) == 'i')
            ok = take_word(in, c, "inity", t);
    } else if (lower(c) == 'n') {
        ok = take_word(in, c, "nan", t);
        if (ok && c == '(') {
            // nan(chars): letters, digits and underscores up to ')'
            t.put(c);
            c = in.get();
            while (digit(c) || (lower(c) >= 'a' && lower(c) <= 'z') || c == '_') {
                t.put(c);
                c = in.get();
            }
            ok = c == ')';
            if (ok) {
                t.put(c);
                c = in.get();
            }
        }
    } else {
        int ndig = 0;
        while (digit(c)) {
            t.put(c);
            ndig++;
            c = in.get();
        }
        if (c == '.') {
            t.put(c);
            c = in.get();
            while (digit(c)) {
                t.put(c);
                ndig++;
                c = in.get();
            }
        }
        ok = ndig > 0;
        if (ok && lower(c) == 'e') {
            t.put(c);
            c = in.get();
            if (c == '+' || c == '-') {
                t.put(c);
                c = in.get();
            }
            int nexp = 0;
            while (digit(c)) {
                t.put(c);
                nexp++;
                c = in.get();
            }
            ok = nexp > 0;
        }
    }
    if (!ok || t.full)
        return refuse(in, t.s, t.n, c);
    in.unget(c);
    t.s[t.n] = 0;
    v = c_strtod(t.s, nullptr);
    return 1;
}
