// settings.h - the SETTING ("Data setting") and CONFIG ("Configration")
// dialogs, without the toolkit: what their fields show when they open and
// what OK makes of the texts.
//
// SETTING edits the camera and size of a scene, CONFIG a window's display
// state (display_state.h).
//
// SETTING: fields 101, 102 show ixmx, iymx as unsigned numbers; 103..110
// show rx, ry, rz, vpnax, vpnay, vpnaz, wdu, length3d with "%lf" (six
// decimals). On OK only the fields whose text was changed are read, so an
// untouched value keeps every digit it had: a dot size that is an
// unsigned number is taken (beyond the int range it saturates), anything
// else keeps the value; a decimal field's first 59 characters are read as
// atof reads them (whatever the locale: a text without a number gives
// 0.0), and an empty field keeps the value. A value whose "%lf" text would
// not survive the 59-character read (about 1e51 and up) is shown as
// "%.17g" instead. Cancel writes nothing.
//
// A dot size below 1 gives a picture of no dots: DataSet_refusal says so,
// in koru-cli's words, and the dialog is not closed with it (CallDataSet
// asks again, with the texts as typed).
//
// CONFIG: field 101 shows zoom_size; radio button 102 + mode is checked.
// A radio button sets mode at once (Cancel does not undo it); OK takes the
// zoom as SETTING takes a dot size; CallConfSet clamps zoom_size into
// 50..400 after the dialog whatever its result.
#pragma once

#include <string>

struct ui_port;
struct scene;
struct display_state;

constexpr int SET_FIELDS = 10;   // ids 101..110
constexpr int FIELD_BYTES = 400; // the longest "%lf" text of a double
constexpr int FIELD_READ = 59;   // characters a decimal field gives

struct setting_form {
    char text[SET_FIELDS][FIELD_BYTES];  // text[i] is field 101 + i
    char shown[SET_FIELDS][FIELD_BYTES]; // the texts as the dialog opened
};

struct config_form {
    char zoom[FIELD_BYTES]; // field 101
    int checked;            // 102, 103 or 104
    int *mode;              // the display mode the radio buttons set at once
};

// An unsigned decimal number as the dialogs read one: blanks around it
// allowed, nothing else; 1 and the value (saturated at INT_MAX) or 0.
int get_uint(const char *text, int &v);
void format_lf(char *out, double v);

void DataSet_open(setting_form &f, const scene &sc);
// Returns whether a value changed.
bool DataSet_ok(const setting_form &f, scene &sc);
// The dot size OK would take in field 101 + i (i 0 or 1): the number
// typed, else the one shown (1 when neither is one).
int DataSet_size(const setting_form &f, int i);
// Why OK cannot close the dialog with these texts, or "".
std::string DataSet_refusal(const setting_form &f);
// 1 OK (changed: whether a value changed), 0 Cancel.
int CallDataSet(ui_port &ui, scene &sc, bool *changed = nullptr);

void ConfSet_open(config_form &f, display_state &d);
void ConfSet_radio(config_form &f, int id);
void ConfSet_ok(const config_form &f, display_state &d);
int CallConfSet(ui_port &ui, display_state &d);
