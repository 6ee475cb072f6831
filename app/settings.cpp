#include "settings.h"

#include "../scene/numin.h"
#include "../scene/scene.h"
#include "display_port.h"
#include "ui_port.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

double *const decimal_fields[8] = {&rx, &ry, &rz, &vpnax, &vpnay, &vpnaz, &wdu, &length3d};

} // namespace

int get_uint(const char *s, int &v)
{
    while (blank(*s))
        s++;
    long long acc = 0;
    bool any = false;
    for (; *s >= '0' && *s <= '9'; s++) {
        any = true;
        if (acc <= INT_MAX)
            acc = acc * 10 + (*s - '0');
    }
    while (blank(*s))
        s++;
    if (!any || *s)
        return 0;
    v = acc > INT_MAX ? INT_MAX : (int)acc;
    return 1;
}

void format_lf(char *out, double v)
{
    std::snprintf(out, FIELD_BYTES, "%lf", v);
    if (std::strlen(out) > (size_t)FIELD_READ)
        std::snprintf(out, FIELD_BYTES, "%.17g", v);
}

void DataSet_open(setting_form &f)
{
    std::snprintf(f.text[0], FIELD_BYTES, "%u", (unsigned)ixmx);
    std::snprintf(f.text[1], FIELD_BYTES, "%u", (unsigned)iymx);
    for (int i = 0; i < 8; i++)
        format_lf(f.text[2 + i], *decimal_fields[i]);
}

void DataSet_ok(const setting_form &f)
{
    get_uint(f.text[0], ixmx);
    get_uint(f.text[1], iymx);
    for (int i = 0; i < 8; i++) {
        char buf[FIELD_READ + 1];
        std::strncpy(buf, f.text[2 + i], FIELD_READ);
        buf[FIELD_READ] = 0;
        if (buf[0])
            *decimal_fields[i] = c_strtod(buf, nullptr);
    }
}

int CallDataSet(ui_port &ui)
{
    setting_form f;
    DataSet_open(f);
    if (!ui.setting_dialog(f))
        return 0;
    DataSet_ok(f);
    return 1;
}

void ConfSet_open(config_form &f)
{
    std::snprintf(f.zoom, FIELD_BYTES, "%u", (unsigned)zoom_size);
    f.checked = 102 + (mode >= 0 && mode <= 2 ? mode : 0);
}

void ConfSet_radio(config_form &f, int id)
{
    if (id < 102 || id > 104)
        return;
    f.checked = id;
    mode = id - 102;
}

void ConfSet_ok(const config_form &f)
{
    get_uint(f.zoom, zoom_size);
}

int CallConfSet(ui_port &ui)
{
    config_form f;
    ConfSet_open(f);
    int r = ui.config_dialog(f);
    if (r)
        ConfSet_ok(f);
    if (zoom_size < 50)
        zoom_size = 50;
    if (zoom_size > 400)
        zoom_size = 400;
    return r ? 1 : 0;
}
