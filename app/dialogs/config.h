// config.h - the CONFIG ("Configration") dialog without the toolkit: a
// window's display state (display_state.h) as its fields show it, and
// what OK makes of them.
//
// Field 101 shows zoom_size; radio button 102 + mode is checked. A radio
// button sets mode at once (Cancel does not undo it); OK takes the zoom
// as SETTING takes a dot size (fieldtext.h's get_uint); CallConfSet
// clamps zoom_size into 50..400 after the dialog whatever its result.
#pragma once

#include "app/dialogs/fieldtext.h"

struct display_state;
struct ui_port;

struct config_form {
    char zoom[FIELD_BYTES]; // field 101
    int checked;            // 102, 103 or 104
    int *mode;              // the display mode the radio buttons set at once
};

void ConfSet_open(config_form &f, display_state &d);
void ConfSet_radio(config_form &f, int id);
void ConfSet_ok(const config_form &f, display_state &d);
int CallConfSet(ui_port &ui, display_state &d);
