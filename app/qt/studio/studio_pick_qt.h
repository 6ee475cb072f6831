// studio_pick_qt.h - a click on the picture in studio view selects the
// primitive its dot shows (studio_pick.h), and the status line says what
// was met where, and what the mouse and keys do with it; a light's marker
// over the dot selects the light. A click on background leaves nothing
// selected. A press and release within CLICK_SLOP dots is a click; a drag
// or a Shift+click is none.
#pragma once

#include <QPoint>

class QMouseEvent;
class StudioSelection;
class View;
struct session;

class StudioPick {
public:
    StudioPick(session &s, StudioSelection &sel, const View &view);
    void mouse(QMouseEvent *e);

private:
    void pick(QPoint at);

    session &s;
    StudioSelection &sel;
    const View &view;
    QPoint press_at;
    bool pressed = false;
};
