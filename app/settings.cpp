#include "settings.h"

#include "../base/whole.h"
#include "../scene/numin.h"
#include "../scene/scene.h"
#include "display_state.h"
#include "messages.h"
#include "ui_port.h"

#include <cstdio>
#include <cstring>

namespace {

// Fields 103..110, in order.
constexpr double scene::*decimal_fields[8] = {&scene::rx,    &scene::ry,      &scene::rz,
                                              &scene::vpnax, &scene::vpnay,   &scene::vpnaz,
                                              &scene::wdu,   &scene::length3d};

} // namespace

int get_uint(const char *s, int &v) { return parse_whole(s, v, WHOLE_BLANKS) != 0; }

void format_lf(char *out, double v)
{
    std::snprintf(out, FIELD_BYTES, "%lf", v);
    if (std::strlen(out) > (size_t)FIELD_READ)
        std::snprintf(out, FIELD_BYTES, "%.17g", v);
}

void DataSet_open(setting_form &f, const scene &sc)
{
    std::snprintf(f.text[0], FIELD_BYTES, "%u", (unsigned)sc.ixmx);
    std::snprintf(f.text[1], FIELD_BYTES, "%u", (unsigned)sc.iymx);
    for (int i = 0; i < 8; i++)
        format_lf(f.text[2 + i], sc.*decimal_fields[i]);
    std::memcpy(f.shown, f.text, sizeof f.shown);
}

namespace {

bool edited(const setting_form &f, int i) { return std::strcmp(f.text[i], f.shown[i]) != 0; }

} // namespace

bool DataSet_ok(const setting_form &f, scene &sc)
{
    const scene before = sc;
    if (edited(f, 0))
        get_uint(f.text[0], sc.ixmx);
    if (edited(f, 1))
        get_uint(f.text[1], sc.iymx);
    for (int i = 0; i < 8; i++) {
        char buf[FIELD_READ + 1];
        std::strncpy(buf, f.text[2 + i], FIELD_READ);
        buf[FIELD_READ] = 0;
        if (buf[0] && edited(f, 2 + i))
            sc.*decimal_fields[i] = c_strtod(buf, nullptr);
    }
    bool changed = sc.ixmx != before.ixmx || sc.iymx != before.iymx;
    for (auto field : decimal_fields)
        changed = changed || std::memcmp(&(sc.*field), &(before.*field), sizeof(double)) != 0;
    return changed;
}

int DataSet_size(const setting_form &f, int i)
{
    int size = 1;
    get_uint(f.shown[i], size);
    get_uint(f.text[i], size);
    return size;
}

std::string DataSet_refusal(const setting_form &f)
{
    const std::string empty = no_dots(DataSet_size(f, 0), DataSet_size(f, 1), "nothing to render");
    return empty.empty() ? empty : empty + "\nGive a dot size of at least 1 x 1.";
}

int CallDataSet(ui_port &ui, scene &sc, bool *changed)
{
    setting_form f;
    DataSet_open(f, sc);
    for (;;) {
        if (!ui.setting_dialog(f))
            return 0;
        const std::string why = DataSet_refusal(f);
        if (why.empty())
            break;
        ErrorMsg(ui, why.c_str());
    }
    const bool c = DataSet_ok(f, sc);
    if (changed)
        *changed = c;
    return 1;
}

void ConfSet_open(config_form &f, display_state &d)
{
    std::snprintf(f.zoom, FIELD_BYTES, "%u", (unsigned)d.zoom_size);
    f.checked = 102 + (d.mode >= 0 && d.mode <= 2 ? d.mode : 0);
    f.mode = &d.mode;
}

void ConfSet_radio(config_form &f, int id)
{
    if (id < 102 || id > 104)
        return;
    f.checked = id;
    *f.mode = id - 102;
}

void ConfSet_ok(const config_form &f, display_state &d) { get_uint(f.zoom, d.zoom_size); }

int CallConfSet(ui_port &ui, display_state &d)
{
    config_form f;
    ConfSet_open(f, d);
    int r = ui.config_dialog(f);
    if (r)
        ConfSet_ok(f, d);
    if (d.zoom_size < ZOOM_MIN)
        d.zoom_size = ZOOM_MIN;
    if (d.zoom_size > ZOOM_MAX)
        d.zoom_size = ZOOM_MAX;
    return r ? 1 : 0;
}
