// dlgunits.h - dialog templates' units in pixels of a dialog font.
//
// One horizontal unit is a quarter of the font's average character width
// (base X = (width of "A..Za..z" / 26 + 1) / 2), one vertical unit an
// eighth of its height. du_rect places a control given in units.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

struct dlg_units {
    int bx, by;
};

dlg_units dialog_units(const QFont &font);
QRect du_rect(const dlg_units &u, int x, int y, int w, int h);
QSize du_size(const dlg_units &u, int w, int h);
void set_modal_frame(QWidget *dlg);
