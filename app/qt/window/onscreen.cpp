#include "app/qt/window/onscreen.h"

#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

// The frame a window manager put around w: zero before it is framed.
QMargins frame_of(const QWidget *w)
{
    const QRect f = w->frameGeometry(), g = w->geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                    f.bottom() - g.bottom());
}

// The frame of a window whose inside is `inside`, shrunk and moved into
// avail; what it returns is the frame's rectangle.
QRect fitted(const QRect &inside, const QMargins &frame, const QRect &avail, const QSize &least)
{
    QRect in = inside;
    in.setSize(in.size().boundedTo(avail.size().shrunkBy(frame)).expandedTo(least));
    QRect out = in.marginsAdded(frame);
    if (out.right() > avail.right())
        out.moveRight(avail.right());
    if (out.bottom() > avail.bottom())
        out.moveBottom(avail.bottom());
    if (out.left() < avail.left())
        out.moveLeft(avail.left());
    if (out.top() < avail.top())
        out.moveTop(avail.top());
    return out;
}

} // namespace

void keep_on_screen(QWidget *w)
{
    QScreen *screen = w->screen();
    if (!screen)
        return;
    const QMargins frame = frame_of(w);
    const QRect now = w->frameGeometry();
    const QRect want = fitted(w->geometry(), frame, screen->availableGeometry(), w->minimumSize());
    if (want.size() != now.size())
        w->resize(want.size().shrunkBy(frame));
    if (want.topLeft() != now.topLeft())
        w->move(w->pos() + (want.topLeft() - now.topLeft()));
}

void place_over(QWidget *w, const QWidget *over)
{
    const QWidget *top = over->window();
    QScreen *screen = top->screen();
    if (!screen)
        return;
    const QMargins frame = frame_of(top);
    QRect inside(QPoint(0, 0), w->size());
    inside.moveCenter(top->geometry().center());
    const QRect out = fitted(inside, frame, screen->availableGeometry(), w->minimumSize());
    w->resize(out.size().shrunkBy(frame));
    w->move(out.topLeft()); // a window's place is its frame's
}

void keep_on_screen_soon(QWidget *w)
{
    QTimer::singleShot(0, w, [w] { keep_on_screen(w); });
    QTimer::singleShot(FRAMED_MS, w, [w] { keep_on_screen(w); });
}
