#include "numin.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace {

constexpr int TOK_MAX = 1024;

bool space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool digit(int c) { return c >= '0' && c <= '9'; }
int lower(int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

int skip_space(FILE *f)
{
    int c;
    do
        c = std::getc(f);
    while (c != EOF && space(c));
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
bool take_word(FILE *f, int &c, const char *word, token &t)
{
    for (const char *w = word; *w; w++) {
        if (lower(c) != *w)
            return false;
        t.put(c);
        c = std::getc(f);
    }
    return true;
}

} // namespace

double c_strtod(const char *s, char **end)
{
    static locale_t cloc = newlocale(LC_ALL_MASK, "C", (locale_t)0);
    return strtod_l(s, end, cloc);
}

int scan_int(numin &in, int &v)
{
    if (in.bad)
        return 0;
    int c = skip_space(in.f);
    bool neg = false;
    if (c == '+' || c == '-') {
        neg = c == '-';
        c = std::getc(in.f);
    }
    long long acc = 0;
    bool any = false, over = false;
    while (digit(c)) {
        any = true;
        if (acc <= (long long)INT_MAX + 1)
            acc = acc * 10 + (c - '0');
        else
            over = true;
        c = std::getc(in.f);
    }
    if (c != EOF)
        std::ungetc(c, in.f);
    if (!any) {
        in.bad = 1;
        return 0;
    }
    if (neg)
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
    int c = skip_space(in.f);
    if (c == '+' || c == '-') {
        t.put(c);
        c = std::getc(in.f);
    }
    bool ok;
    if (lower(c) == 'i') {
        ok = take_word(in.f, c, "inf", t);
        if (ok && lower(c) == 'i')
            ok = take_word(in.f, c, "inity", t);
    } else if (lower(c) == 'n') {
        ok = take_word(in.f, c, "nan", t);
        if (ok && c == '(') {
            // nan(chars): letters, digits and underscores up to ')'
            t.put(c);
            c = std::getc(in.f);
            while (digit(c) || (lower(c) >= 'a' && lower(c) <= 'z') || c == '_') {
                t.put(c);
                c = std::getc(in.f);
            }
            ok = c == ')';
            if (ok) {
                t.put(c);
                c = std::getc(in.f);
            }
        }
    } else {
        int ndig = 0;
        while (digit(c)) {
            t.put(c);
            ndig++;
            c = std::getc(in.f);
        }
        if (c == '.') {
            t.put(c);
            c = std::getc(in.f);
            while (digit(c)) {
                t.put(c);
                ndig++;
                c = std::getc(in.f);
            }
        }
        ok = ndig > 0;
        if (ok && lower(c) == 'e') {
            t.put(c);
            c = std::getc(in.f);
            if (c == '+' || c == '-') {
                t.put(c);
                c = std::getc(in.f);
            }
            int nexp = 0;
            while (digit(c)) {
                t.put(c);
                nexp++;
                c = std::getc(in.f);
            }
            ok = nexp > 0;
        }
    }
    if (c != EOF)
        std::ungetc(c, in.f);
    if (!ok || t.full) {
        in.bad = 1;
        return 0;
    }
    t.s[t.n] = 0;
    v = c_strtod(t.s, nullptr);
    return 1;
}
