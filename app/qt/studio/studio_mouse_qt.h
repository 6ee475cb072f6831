// studio_mouse_qt.h - the scene shaped with the mouse and the keys on the
// studio's picture (studio_drag.h, studio_nudge.h decide): the selected
// primitive, group or a light dragged, nudged by the arrows and sized by
// Ctrl+wheel, each one edit of the text; the lights' markers drawn over
// the picture (never into it).
//
// It is asked first: what it takes (a press that grabs something, and the
// drag that follows; Ctrl+wheel over the selected primitive; the arrows,
// PageUp and PageDown while something that moves is selected) the camera
// does not get; undo and redo on the picture are the studio's (studio_qt.h). While a drag
// moves, live view previews the moved model; on release the edit goes
// into the text and is read at once, for the exact picture.
#pragma once

#include "app/studio/studio_drag.h"

class QKeyEvent;
class QMouseEvent;
class QPainter;
class QWheelEvent;
class StudioSelection;
class StudioText;
class View;
class live_view;
struct session;

class StudioMouse {
public:
    StudioMouse(session &s, StudioText &text, StudioSelection &sel, live_view &live,
                const View &view);
    bool mouse(QMouseEvent *e);
    bool wheel(QWheelEvent *e);
    bool key(QKeyEvent *e);
    void paint(QPainter &p, bool rows_shown) const;
    bool dragging() const { return d.grabbed(); }

private:
    bool press(QMouseEvent *e);
    void release();
    void apply(const text_edit &e);

    session &s;
    StudioText &text;
    StudioSelection &sel;
    live_view &live;
    const View &view;
    studio_drag d;
    int wheel_left = 0; // eighths of a degree not yet a notch
};
