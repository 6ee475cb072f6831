// view.h - the picture area of KORU's window: the display grid of a
// session at the top-left of a white area, and over it the rows of a
// render while it runs.
//
// The grid is painted as redraw does at scale 1, from a bitmap of its own
// (GridImage) that is rebuilt only when the grid changes. The rows of a
// render (row_overlay) show in full colour at the zoom; a preview of the
// live view, smaller than the picture it stands for, is drawn enlarged to
// that picture's size. wanted() is the size the area needs to show both.
//
// overlay_rows(ov, full_w, full_h) gives the function that takes the rows
// of the render that starts next, from its tracing threads; full_w x
// full_h is the size of the picture they stand for (0: their own).
// overlay_clear(ov) takes the rows away and leaves behind any render
// still sending some.
//
// The view leaves its mouse, wheel and key events to the window's
// handlers (the live view's camera, live_qt.h). paint_over, when set,
// draws last over the picture (the studio's silhouette), told whether the
// rows of a render cover it.
//
// other, when set and giving a display, is shown in place of the window's
// picture (the animation player's frame, anim_player_qt.h): that display's grid
// for a w x h picture, as redraw shows it, without the rows of a render;
// the mouse, wheel and keys then go to no handler.
#pragma once

#include "app/session/session.h"
#include "trace/render.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <mutex>

// The rows a render has traced so far, for the view to show while it
// runs; written by the tracing threads, read by the painter.
struct row_overlay {
    std::mutex m;
    QImage img;     // the render's picture: rows not yet traced are clear
    int full_w = 0; // the size of the picture it stands for (a preview
    int full_h = 0; // is smaller), 0: its own
    bool shown = false;
    bool fresh = false; // a row came since the last repaint
    unsigned job = 0;   // which render the rows belong to
};

row_fn overlay_rows(row_overlay &ov, int full_w, int full_h);
void overlay_clear(row_overlay &ov);

// A display grid as a picture, rebuilt only when the grid changed.
class GridImage {
public:
    const QImage &of(const display_state &d);

private:
    QImage img;
    const display_state *made_of = nullptr;
    unsigned gen = 0;
};

class View : public QWidget {
    Q_OBJECT
public:
    View(QWidget *parent, const session &s, row_overlay &ov, GridImage &grid);
    QSize wanted();
    // Whether the rows of a render cover the picture.
    bool rows_shown() const;
    std::function<void(QMouseEvent *)> on_mouse;
    std::function<void(QWheelEvent *)> on_wheel;
    std::function<bool(QKeyEvent *)> on_key;
    std::function<void(QPainter &, bool rows_shown)> paint_over;
    std::function<const display_state *(int &w, int &h)> other;

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    QSize overlay_size() const; // ov.m held
    const display_state *shown_other(int &w, int &h) const;
    const session &s;
    row_overlay &ov;
    GridImage &grid;
};
