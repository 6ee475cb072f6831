#include "whole.h"

#include <climits>

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

} // namespace

int parse_whole(const char *s, int &v, int flags)
{
    if (flags & WHOLE_BLANKS)
        while (blank(*s))
            s++;
    bool neg = false;
    if ((flags & WHOLE_SIGN) && (*s == '-' || *s == '+'))
        neg = *s++ == '-';
    long long acc = 0;
    bool any = false;
    for (; *s >= '0' && *s <= '9'; s++) {
        any = true;
        if (acc <= (long long)INT_MAX + 1) // beyond it the value only counts as too large
            acc = acc * 10 + (*s - '0');
    }
    if (flags & WHOLE_BLANKS)
        while (blank(*s))
            s++;
    if (!any || *s)
        return 0;
    if (neg)
        acc = -acc;
    if (acc > INT_MAX || acc < INT_MIN) {
        v = acc > 0 ? INT_MAX : INT_MIN;
        return 2;
    }
    v = (int)acc;
    return 1;
}
