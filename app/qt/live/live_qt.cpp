#include "app/qt/live/live_qt.h"

#include "app/qt/window/to_window.h"
#include "app/session/session.h"
#include "scene/rtread.h"
#include "trace/camera_moves.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>
#include <QWheelEvent>

namespace {

constexpr unsigned LOOK_POINT = 1u << V_RX | 1u << V_RY | 1u << V_RZ;
constexpr unsigned LOOK_DIR = 1u << V_VPNAX | 1u << V_VPNAY | 1u << V_VPNAZ;

} // namespace

LiveQt::LiveQt(QObject *parent, session &ses, row_overlay &o, QStatusBar *b)
    : QObject(parent), s(ses), ov(o), bar(b), frames(to_window()), lv(ses, *this)
{
    bar->hide(); // until live view is on
    change_timer.setSingleShot(true);
    change_timer.setInterval(CHANGE_MS);
    rest_timer.setSingleShot(true);
    rest_timer.setInterval(REST_MS);
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, [this] { change_timer.start(); });
    // a new file renamed over the followed one: the folder changes
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!followed.isEmpty() && !watcher.files().contains(followed) &&
            QFileInfo::exists(followed))
            change_timer.start();
    });
    connect(&change_timer, &QTimer::timeout, this, [this] {
        rewatch(); // a replaced file is a new file to watch
        lv.file_changed();
    });
    connect(&rest_timer, &QTimer::timeout, this, [this] { lv.rested(); });
}

LiveQt::~LiveQt() { frames.stop(); }

void LiveQt::run_frame(render_job &job, std::function<void(int)> done)
{
    frames.start([&job] { return job.run(); }, std::move(done), [&job] { job.cancel(); });
}

void LiveQt::wait_frame() { frames.stop(); }

row_fn LiveQt::frame_rows(int full_w, int full_h) { return overlay_rows(ov, full_w, full_h); }

void LiveQt::clear_rows() { overlay_clear(ov); }

void LiveQt::watch(const std::string &path)
{
    followed = QFile::decodeName(path.c_str());
    rewatch();
}

void LiveQt::rewatch()
{
    if (!watcher.files().isEmpty())
        watcher.removePaths(watcher.files());
    if (!watcher.directories().isEmpty())
        watcher.removePaths(watcher.directories());
    if (followed.isEmpty())
        return;
    if (QFileInfo::exists(followed))
        watcher.addPath(followed);
    const QString dir = QFileInfo(followed).absolutePath();
    if (QFileInfo(dir).isDir())
        watcher.addPath(dir);
}

void LiveQt::shown(bool on) { bar->setVisible(on); }

void LiveQt::moving() { rest_timer.start(); }

void LiveQt::mouse(QMouseEvent *e)
{
    if (!lv.steering())
        return;
    const QPoint p = e->position().toPoint();
    if (e->type() == QEvent::MouseButtonPress) {
        const bool pan_drag =
            e->button() == Qt::MiddleButton ||
            (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier));
        drag = pan_drag ? 2 : e->button() == Qt::LeftButton ? 1 : 0;
        last = p;
        return;
    }
    if (e->type() == QEvent::MouseButtonRelease) {
        drag = 0;
        return;
    }
    if (!drag || p == last)
        return;
    const QPoint d = p - last;
    last = p;
    if (drag == 1 ? orbit(s.app.model, d.x(), d.y()) : lv.pan_by(d.x(), d.y()))
        lv.moved(drag == 1 ? LOOK_DIR : LOOK_POINT);
}

void LiveQt::wheel(QWheelEvent *e)
{
    if (!lv.steering()) {
        e->ignore();
        return;
    }
    const double steps = e->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    const bool wide = e->modifiers() & Qt::ControlModifier;
    if (wide)
        widen(s.app.model, -steps);
    else
        dolly(s.app.model, steps);
    e->accept();
    lv.moved(wide ? 1u << V_WDU : 1u << V_DLENGTH);
}

bool LiveQt::key(QKeyEvent *e)
{
    if (!lv.steering())
        return false;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    int dx = 0, dy = 0;
    switch (e->key()) {
    case Qt::Key_Left:
        dx = -KEY_DOTS;
        break;
    case Qt::Key_Right:
        dx = KEY_DOTS;
        break;
    case Qt::Key_Up:
        dy = -KEY_DOTS;
        break;
    case Qt::Key_Down:
        dy = KEY_DOTS;
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus:
        if (e->modifiers() & Qt::ControlModifier)
            return false; // Ctrl+= and Ctrl+- step the zoom
        dolly(s.app.model, e->key() == Qt::Key_Minus ? -1 : 1);
        lv.moved(1u << V_DLENGTH);
        return true;
    default:
        return false;
    }
    if (shift ? lv.pan_by(dx, dy) : orbit(s.app.model, dx, dy))
        lv.moved(shift ? LOOK_POINT : LOOK_DIR);
    return true;
}
