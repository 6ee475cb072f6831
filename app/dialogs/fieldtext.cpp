#include "app/dialogs/fieldtext.h"

#include "base/whole.h"

#include <cstdio>
#include <cstring>

int get_uint(const char *s, int &v) { return parse_whole(s, v, WHOLE_BLANKS) != 0; }

void format_lf(char *out, double v)
{
    std::snprintf(out, FIELD_BYTES, "%lf", v);
    if (std::strlen(out) > (size_t)FIELD_READ)
        std::snprintf(out, FIELD_BYTES, "%.17g", v);
}
