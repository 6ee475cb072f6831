#include "app/qt/window/view.h"

#include <QPainter>

row_fn overlay_rows(row_overlay &ov, int full_w, int full_h)
{
    unsigned job;
    {
        std::lock_guard<std::mutex> lock(ov.m);
        job = ++ov.job;
    }
    row_overlay *o = &ov;
    return [o, job, full_w, full_h](int y, int w, int h, const unsigned char *r,
                                    const unsigned char *g, const unsigned char *b) {
        std::lock_guard<std::mutex> lock(o->m);
        if (o->job != job)
            return; // a render that was left behind
        // the first row of a render replaces what the last one showed
        if (o->img.width() != w || o->img.height() != h || o->full_w != full_w ||
            o->full_h != full_h || !o->shown) {
            o->img = QImage(w, h, QImage::Format_ARGB32);
            o->img.fill(Qt::transparent);
            o->full_w = full_w;
            o->full_h = full_h;
            o->shown = true;
        }
        auto *line = reinterpret_cast<QRgb *>(o->img.scanLine(y));
        for (int x = 0; x < w; x++)
            line[x] = qRgb(r[x], g[x], b[x]);
        o->fresh = true;
    };
}

void overlay_clear(row_overlay &ov)
{
    std::lock_guard<std::mutex> lock(ov.m);
    ov.shown = false;
    ov.img = QImage();
    ++ov.job;
}

const QImage &GridImage::of(const display_state &d)
{
    if (made_of != &d || gen != d.gen) {
        made_of = &d;
        gen = d.gen;
        const int w = d.grid->w, h = d.grid->h;
        img = QImage(w > 0 ? w : 1, h > 0 ? h : 1, QImage::Format_RGB888);
        img.fill(Qt::white);
        if (w > 0 && h > 0)
            disp_grid_rgb(d, img.bits(), (int)img.bytesPerLine());
    }
    return img;
}

View::View(QWidget *parent, const session &ses, row_overlay &o, GridImage &g)
    : QWidget(parent), s(ses), ov(o), grid(g)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFocusPolicy(Qt::StrongFocus);
}

// Where the overlay shows: its picture, or the picture it stands for, at
// the zoom.
QSize View::overlay_size() const
{
    int W, H;
    zoomed_size(s.disp, ov.full_w ? ov.full_w : ov.img.width(),
                ov.full_h ? ov.full_h : ov.img.height(), W, H);
    return QSize(W, H);
}

const display_state *View::shown_other(int &w, int &h) const
{
    return other ? other(w, h) : nullptr;
}

bool View::rows_shown() const
{
    std::lock_guard<std::mutex> lock(ov.m);
    return ov.shown && !ov.img.isNull();
}

QSize View::wanted()
{
    QSize want(0, 0);
    int w, h;
    if (const display_state *d = shown_other(w, h)) {
        const copyrect c = disp_copy(*d, w, h, 1);
        return QSize(c.dw, c.dh).expandedTo(QSize(1, 1));
    }
    if (s.app.image_ready) {
        const copyrect c = disp_copy(s.disp, s.app.model.ixmx, s.app.model.iymx, 1);
        want = QSize(c.dw, c.dh);
    }
    {
        std::lock_guard<std::mutex> lock(ov.m);
        if (ov.shown && !ov.img.isNull())
            want = want.expandedTo(overlay_size());
    }
    return want.expandedTo(QSize(1, 1));
}

void View::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    int w, h;
    if (const display_state *d = shown_other(w, h)) {
        const copyrect c = disp_copy(*d, w, h, 1);
        if (c.sw > 0 && c.sh > 0)
            p.drawImage(QRect(0, 0, c.dw, c.dh), grid.of(*d), QRect(0, 0, c.sw, c.sh));
        std::lock_guard<std::mutex> lock(ov.m);
        ov.fresh = false;
        return;
    }
    if (s.app.image_ready) {
        // redraw at scale 1: what lies beyond the grid stays white
        const copyrect c = disp_copy(s.disp, s.app.model.ixmx, s.app.model.iymx, 1);
        if (c.sw > 0 && c.sh > 0)
            p.drawImage(QRect(0, 0, c.dw, c.dh), grid.of(s.disp), QRect(0, 0, c.sw, c.sh));
    }
    bool rows = false;
    {
        std::lock_guard<std::mutex> lock(ov.m);
        ov.fresh = false;
        rows = ov.shown && !ov.img.isNull();
        if (rows) {
            p.setRenderHint(QPainter::SmoothPixmapTransform, false);
            p.drawImage(QRect(QPoint(0, 0), overlay_size()), ov.img);
        }
    }
    if (paint_over)
        paint_over(p, rows);
}

void View::mousePressEvent(QMouseEvent *e)
{
    if (on_mouse && !other)
        on_mouse(e);
}

void View::mouseMoveEvent(QMouseEvent *e)
{
    if (on_mouse && !other)
        on_mouse(e);
}

void View::mouseReleaseEvent(QMouseEvent *e)
{
    if (on_mouse && !other)
        on_mouse(e);
}

void View::wheelEvent(QWheelEvent *e)
{
    if (on_wheel && !other)
        on_wheel(e);
    else
        QWidget::wheelEvent(e);
}

void View::keyPressEvent(QKeyEvent *e)
{
    if (!on_key || other || !on_key(e))
        QWidget::keyPressEvent(e);
}
