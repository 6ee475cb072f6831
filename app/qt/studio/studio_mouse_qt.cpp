#include "app/qt/studio/studio_mouse_qt.h"

#include "app/live/live_view.h"
#include "app/qt/studio/studio_selection.h"
#include "app/qt/studio/studio_text.h"
#include "app/qt/window/view.h"
#include "app/session/session.h"
#include "app/studio/studio_doc.h"
#include "app/studio/studio_nudge.h"
#include "app/studio/studio_pick.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

constexpr int NOTCH = 120;     // a wheel's notch, in eighths of a degree
constexpr double MARK_R = 4.5; // a light's marker, its radius in dots of the view

// The middle of the view's dot under the mouse
QPointF middle(QPointF at) { return at + QPointF(0.5, 0.5); }

int nudge_of(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return NUDGE_LEFT;
    case Qt::Key_Right:
        return NUDGE_RIGHT;
    case Qt::Key_Up:
        return NUDGE_UP;
    case Qt::Key_Down:
        return NUDGE_DOWN;
    case Qt::Key_PageUp:
        return NUDGE_AWAY;
    case Qt::Key_PageDown:
        return NUDGE_NEAR;
    default:
        return -1;
    }
}

} // namespace

StudioMouse::StudioMouse(session &ses, StudioText &t, StudioSelection &selection, live_view &lv,
                         const View &v)
    : s(ses), text(t), sel(selection), live(lv), view(v)
{
}

bool StudioMouse::mouse(QMouseEvent *e)
{
    const QPointF at = middle(e->position());
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        return e->button() == Qt::LeftButton && press(e);
    case QEvent::MouseMove:
        if (!d.grabbed())
            return false;
        if (drag_to(s, d, at.x(), at.y(), e->modifiers() & Qt::ShiftModifier)) {
            if (d.kind == OUT_LIGHT && !(sel.selected() == studio_selection{OUT_LIGHT, d.index}))
                sel.select(OUT_LIGHT, d.index, false);
            live.dragged();
        }
        return true;
    case QEvent::MouseButtonRelease:
        if (e->button() != Qt::LeftButton || !d.grabbed())
            return false;
        release();
        return true;
    default:
        return false;
    }
}

bool StudioMouse::press(QMouseEvent *e)
{
    if (!live.steering())
        return false;
    if (s.studio.follow.holding()) { // the text typed is the model's first
        s.studio.follow.at_once();
        text.read_due();
    }
    const QPointF at = middle(e->position());
    return drag_press(s, *text.latest(), sel.selected(), view.rows_shown(), at.x(), at.y(), d);
}

void StudioMouse::release()
{
    const bool moved = d.moving;
    text_edit e;
    std::string why;
    if (drag_release(s, d, e, why))
        apply(e);
    else if (moved)
        live.source_changed(); // the model is as it was: its exact picture again
    live.rested();
}

void StudioMouse::apply(const text_edit &e)
{
    if (e.old_text == e.new_text) // too small a move for the numbers
        live.source_changed();
    text.apply_now(e);
}

bool StudioMouse::wheel(QWheelEvent *e)
{
    if (!(e->modifiers() & Qt::ControlModifier) || !live.steering() || d.grabbed())
        return false;
    std::shared_ptr<const scene> sc;
    frame f;
    double x, y;
    int eye;
    pick_hit h;
    const QPointF at = middle(e->position());
    const std::shared_ptr<studio_reading> r = text.latest();
    const std::vector<int> chosen = selected_primitives(*r, sel.selected());
    if (pick_source(s.app, view.rows_shown(), sc, f) != PICK_SCENE ||
        !picture_place(f, s.disp.zoom_size, at.x(), at.y(), x, y, eye) ||
        !pick_dot(*sc, f, (int)x + eye * f.w, (int)y, h) ||
        std::find(chosen.begin(), chosen.end(), h.index) == chosen.end())
        return false;
    wheel_left += e->angleDelta().y();
    const int notches = wheel_left / NOTCH;
    wheel_left -= notches * NOTCH;
    text_edit edit;
    std::string why;
    if (notches && size_edit(s, *r, h.index, notches, edit, why))
        apply(edit);
    e->accept();
    return true;
}

bool StudioMouse::key(QKeyEvent *e)
{
    const int dir = nudge_of(e->key());
    const Qt::KeyboardModifiers mods = e->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (dir < 0 || mods || !live.steering() || d.grabbed())
        return false;
    const std::shared_ptr<studio_reading> r = text.latest();
    if (selected_records(*r, sel.selected()).empty())
        return false; // the camera's
    text_edit edit;
    std::string why;
    if (nudge_edit(s, *r, sel.selected(), dir, e->modifiers() & Qt::ShiftModifier, edit, why))
        apply(edit);
    return true;
}

void StudioMouse::paint(QPainter &p, bool rows_shown) const
{
    std::shared_ptr<const scene> sc;
    frame f;
    if (!s.studio.lights || pick_source(s.app, rows_shown, sc, f) != PICK_SCENE)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const studio_selection chosen = sel.selected();
    for (const light_mark &m : light_marks(*sc, f, s.disp.zoom_size)) {
        const QPointF c(m.vx, m.vy);
        const bool picked = chosen == studio_selection{OUT_LIGHT, m.index};
        const QColor fill = picked ? QColor(255, 80, 40) : QColor(255, 230, 60);
        p.setPen(QPen(m.edge ? fill : QColor(Qt::black), 1.5));
        p.setBrush(m.edge ? QBrush(Qt::NoBrush) : QBrush(fill)); // beyond the picture: hollow
        p.drawEllipse(c, MARK_R, MARK_R);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, MARK_R + 1.5, MARK_R + 1.5);
    }
    p.restore();
}
