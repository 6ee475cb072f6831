#include "settings.h"

#include "../base/whole.h"
#include "../scene/numin.h"
#include "appstate.h"
#include "display_port.h"
#include "ui_port.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

double *const decimal_fields[8] = {&model.rx,    &model.ry,    &model.rz,  &model.vpnax,
                                   &model.vpnay, &model.vpnaz, &model.wdu, &model.length3d};

} // namespace

int get_uint(const char *s, int &v) { return parse_whole(s, v, WHOLE_BLANKS) != 0; }

void format_lf(char *out, double v)
{
    std::snprintf(out, FIELD_BYTES, "%lf", v);
    if (std::strlen(out) > (size_t)FIELD_READ)
        std::snprintf(out, FIELD_BYTES, "%.17g", v);
}

void DataSet_open(setting_form &f)
{
    std::snprintf(f.text[0], FIELD_BYTES, "%u", (unsigned)model.ixmx);
    std::snprintf(f.text[1], FIELD_BYTES, "%u", (unsigned)model.iymx);
    for (int i = 0; i < 8; i++)
        format_lf(f.text[2 + i], *decimal_fields[i]);
}

void DataSet_ok(const setting_form &f)
{
    get_uint(f.text[0], model.ixmx);
    get_uint(f.text[1], model.iymx);
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

void ConfSet_ok(const config_form &f) { get_uint(f.zoom, zoom_size); }

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
