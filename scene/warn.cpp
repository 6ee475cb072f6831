#include "warn.h"

#include <cstdarg>
#include <cstdio>

int nwarn, nwarnlost;
char warns[WARN_MAX][WARN_LEN];

void warn_clear()
{
    nwarn = nwarnlost = 0;
}

void warn(const char *fmt, ...)
{
    if (nwarn >= WARN_MAX) {
        nwarnlost++;
        return;
    }
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(warns[nwarn], WARN_LEN, fmt, ap);
    va_end(ap);
    nwarn++;
}
