#include "app/qt/studio/studio_pick_qt.h"

#include "app/qt/studio/studio_selection.h"
#include "app/qt/window/view.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/studio/studio_drag.h"
#include "app/studio/studio_nudge.h"
#include "app/studio/studio_pick.h"
#include "scene/fields.h"

#include <QMouseEvent>

namespace {

constexpr int CLICK_SLOP = 3; // a press and release this close is a click

} // namespace

StudioPick::StudioPick(session &ses, StudioSelection &selection, const View &v)
    : s(ses), sel(selection), view(v)
{
}

void StudioPick::mouse(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton && e->type() != QEvent::MouseMove)
        return;
    const QPoint p = e->position().toPoint();
    if (e->type() == QEvent::MouseButtonPress) {
        pressed = !(e->modifiers() & Qt::ShiftModifier);
        press_at = p;
    } else if (e->type() == QEvent::MouseButtonRelease && pressed) {
        pressed = false;
        if ((p - press_at).manhattanLength() <= CLICK_SLOP)
            pick(p);
    }
}

void StudioPick::pick(QPoint at)
{
    std::shared_ptr<const scene> sc;
    frame f;
    switch (pick_source(s.app, view.rows_shown(), sc, f)) {
    case PICK_NOTHING:
        return;
    case PICK_FROM_FILE:
        say(s, "This picture was read from a file: no scene made it, nothing to pick.");
        return;
    }
    const int light = light_under(s, view.rows_shown(), at.x() + 0.5, at.y() + 0.5);
    if (light >= 0) { // its marker is over the dots
        sel.select(OUT_LIGHT, light, true);
        say(s, record_name(*sc, field_ref{SEC_LIGHT, light, L_X}) + " - " +
                   mouse_hint(s.app.model, OUT_LIGHT));
        return;
    }
    int x, y;
    pick_hit h;
    if (!view_dot(s.disp.zoom_size, f.width, f.h, at.x(), at.y(), x, y) ||
        !pick_dot(*sc, f, x, y, h))
        return;
    if (h.index < 0) {
        say(s, pick_text(*sc, x, y, h));
        sel.clear(true);
        return;
    }
    sel.select(OUT_PRIMITIVE, h.index, true);
    say(s, pick_text(*sc, x, y, h) + " - " + mouse_hint(s.app.model, OUT_PRIMITIVE));
}
