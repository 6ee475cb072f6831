// setting.h - the SETTING ("Data setting") dialog without the toolkit:
// what its fields show when it opens and what OK makes of the texts. It
// edits the camera and size of a scene.
//
// Fields 101, 102 show ixmx, iymx as unsigned numbers; 103..110 show rx,
// ry, rz, vpnax, vpnay, vpnaz, wdu, length3d with "%lf" (six decimals;
// fieldtext.h). On OK only the fields whose text was changed are read, so
// an untouched value keeps every digit it had: a dot size that is an
// unsigned number is taken (beyond the int range it saturates), anything
// else keeps the value; a decimal field's first 59 characters are read as
// atof reads them (whatever the locale: a text without a number gives
// 0.0), and an empty field keeps the value. Cancel writes nothing.
//
// A dot size below 1 gives a picture of no dots: DataSet_refusal says so,
// in koru-cli's words, and the dialog is not closed with it (CallDataSet
// asks again, with the texts as typed).
#pragma once

#include "app/dialogs/fieldtext.h"

#include <string>

struct scene;
struct session;

constexpr int SET_FIELDS = 10; // ids 101..110

struct setting_form {
    char text[SET_FIELDS][FIELD_BYTES];  // text[i] is field 101 + i
    char shown[SET_FIELDS][FIELD_BYTES]; // the texts as the dialog opened
};

void DataSet_open(setting_form &f, const scene &sc);
// Returns whether a value changed.
bool DataSet_ok(const setting_form &f, scene &sc);
// The dot size OK would take in field 101 + i (i 0 or 1): the number
// typed, else the one shown (1 when neither is one).
int DataSet_size(const setting_form &f, int i);
// Why OK cannot close the dialog with these texts, or "".
std::string DataSet_refusal(const setting_form &f);
// The dialog over s's window for sc: 1 OK (changed: whether a value
// changed), 0 Cancel.
int CallDataSet(session &s, scene &sc, bool *changed = nullptr);
