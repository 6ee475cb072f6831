#include "app/qt/dialogs/dlgunits.h"

#include <QFontMetrics>
#include <QWidget>

dlg_units dialog_units(const QFont &font)
{
    QFontMetrics fm(font);
    int w = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {(w / 26 + 1) / 2, fm.height()};
}

QRect du_rect(const dlg_units &u, int x, int y, int w, int h)
{
    return QRect(x * u.bx / 4, y * u.by / 8, w * u.bx / 4, h * u.by / 8);
}

QSize du_size(const dlg_units &u, int w, int h) { return QSize(w * u.bx / 4, h * u.by / 8); }

void set_modal_frame(QWidget *dlg)
{
    dlg->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}
