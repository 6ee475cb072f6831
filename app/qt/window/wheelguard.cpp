#include "app/qt/window/wheelguard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>

namespace {

bool takes_wheel(const QObject *o)
{
    return qobject_cast<const QAbstractSpinBox *>(o) || qobject_cast<const QComboBox *>(o);
}

} // namespace

bool WheelGuard::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::Polish && takes_wheel(o)) {
        auto *w = static_cast<QWidget *>(o);
        if (w->focusPolicy() == Qt::WheelFocus)
            w->setFocusPolicy(Qt::StrongFocus);
    } else if (e->type() == QEvent::Wheel && takes_wheel(o) &&
               !static_cast<QWidget *>(o)->hasFocus()) {
        e->ignore(); // on to the parent: the pane scrolls
        return true;
    }
    return QObject::eventFilter(o, e);
}
