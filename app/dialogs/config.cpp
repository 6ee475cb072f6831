#include "app/dialogs/config.h"

#include "app/session/display_state.h"
#include "app/session/ui_port.h"

#include <cstdio>

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
