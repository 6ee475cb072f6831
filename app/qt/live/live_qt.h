// live_qt.h - live view in the window: the scene file watched, the camera
// moved by the mouse and the keys, frames rendered beside the window, for
// live view's driver (live/live_view.h), which decides.
//
// The file is followed with QFileSystemWatcher, its folder too, so that an
// editor that writes a new file and renames it over the old one counts as
// a change; changes are gathered for CHANGE_MS before the driver hears of
// them. Frames run beside the window (session/worker.h); their rows show
// in the view's row_overlay as they are traced. The camera rests REST_MS
// after the last input. The status bar shows while live view is on. The
// window forwards the view's mouse, wheel and key events.
//
// Mouse and keys on the picture, while live view is on (trace/camera_moves.h):
//   left drag               orbit the eye about the look point
//   Shift+left or middle    pan the look point in the screen plane
//   wheel / Ctrl+wheel      dolly dlength / change wdu
//   arrow keys              orbit by KEY_DOTS dots; Shift+arrows pan
//   + and -                 dolly one step nearer or farther
#pragma once

#include "app/live/live_view.h"
#include "app/qt/window/view.h"
#include "app/session/worker.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QPoint>
#include <QTimer>

class QKeyEvent;
class QMouseEvent;
class QStatusBar;
class QWheelEvent;

class LiveQt : public QObject, public live_port {
public:
    LiveQt(QObject *parent, session &s, row_overlay &ov, QStatusBar *bar);
    ~LiveQt() override;
    live_view &driver() { return lv; }

    void mouse(QMouseEvent *e);
    void wheel(QWheelEvent *e);
    bool key(QKeyEvent *e);

    void run_frame(render_job &job, std::function<void(int)> done) override;
    void wait_frame() override;
    row_fn frame_rows(int full_w, int full_h) override;
    void clear_rows() override;
    void watch(const std::string &path) override;
    void shown(bool on) override;
    void moving() override;

private:
    void rewatch();

    session &s;
    row_overlay &ov;
    QStatusBar *bar;
    QFileSystemWatcher watcher;
    QTimer change_timer, rest_timer;
    QString followed; // the scene file watched
    worker frames;
    live_view lv; // after frames: it waits for its frame through them
    QPoint last;  // the mouse at the last motion
    int drag = 0; // 0 none, 1 orbit, 2 pan
};
