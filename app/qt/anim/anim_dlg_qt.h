// anim_dlg_qt.h - the "Make Animation" dialog in the window.
//
// AnimDlg shows an anim_form (anim_form.h) laid out in dialog units:
// the key scenes' list with Add... (KORU's LOAD dialog), Remove, Up and
// Down; the turn; frames; frames a second; the size; the output with
// Browse... (KORU's SAVE dialog); the anti-aliasing. OK hands the fields
// to anim_form_ok and closes only when it accepts them. Controls are
// named for tests: "keys", "add", "remove", "up", "down", "orbit", "deg",
// "frames", "fps", "width", "height", "out", "browse", "ok", "cancel".
#pragma once

#include "app/anim/anim_form.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
struct dlg_units;

class AnimDlg : public QDialog {
    Q_OBJECT
public:
    AnimDlg(QWidget *parent, session &s, anim_form &f);
    void accept() override;

private:
    void build_keys(const dlg_units &u);
    void build_fields(const dlg_units &u);
    void build_buttons(const dlg_units &u);
    void move_key(int dir);
    void take_fields();
    void sync();
    session &s;
    anim_form &f;
    QListWidget *keys;
    QCheckBox *orbit;
    QLineEdit *deg, *frames, *fps, *width, *height, *out;
    unsigned seen = ~0u;
};
