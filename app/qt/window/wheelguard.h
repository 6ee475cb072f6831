// wheelguard.h - the mouse wheel changes a number only where the user is
// typing.
//
// A spin box or a choice (QComboBox) takes the wheel only while it has
// the keyboard focus; otherwise the wheel goes on to what holds it, so a
// pane or dialog scrolls as the pointer passes over its fields. The wheel
// no longer gives such a field the focus (Qt::StrongFocus). One guard,
// installed on the application, looks after every window:
//
//   qApp->installEventFilter(new WheelGuard(qApp));
#pragma once

#include <QObject>

class WheelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override;
};
