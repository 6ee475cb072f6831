#include "app/dialogs/setting.h"

#include "app/session/messages.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "scene/numin.h"
#include "scene/scene.h"

#include <cstdio>
#include <cstring>

namespace {

// Fields 103..110, in order.
constexpr double scene::*decimal_fields[8] = {&scene::rx,    &scene::ry,      &scene::rz,
                                              &scene::vpnax, &scene::vpnay,   &scene::vpnaz,
                                              &scene::wdu,   &scene::length3d};

} // namespace

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

int CallDataSet(session &s, scene &sc, bool *changed)
{
    setting_form f;
    DataSet_open(f, sc);
    for (;;) {
        if (!s.ui.setting_dialog(f))
            return 0;
        const std::string why = DataSet_refusal(f);
        if (why.empty())
            break;
        ErrorMsg(s, why.c_str());
    }
    const bool c = DataSet_ok(f, sc);
    if (changed)
        *changed = c;
    return 1;
}
