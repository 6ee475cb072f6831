// live_qt.h - the live view in the window: the scene file watched, the
// camera moved by the mouse and the keys, frames rendered beside the
// window as live.h decides.
//
// The file is followed with QFileSystemWatcher, its folder too, so that an
// editor that writes a new file and renames it over the old one counts as
// a change; changes are gathered for CHANGE_MS before the file is read.
// Every frame is a render_job of a copy of the session's scene on a
// thread of its own; its rows show in the view's row_overlay as they are
// traced. An exact frame, when it is done, is kept as Make Image keeps
// its picture (show_made). The camera rests REST_MS after the last input.
// Reader warnings and the reasons a picture cannot be made go to the
// status bar, which shows while live view is on. The window forwards the
// view's mouse, wheel and key events.
//
// Mouse and keys on the picture, while live view is on (camera_moves.h):
//   left drag               orbit the eye about the look point
//   Shift+left or middle    pan the look point in the screen plane
//   wheel / Ctrl+wheel      dolly dlength / change wdu
//   arrow keys              orbit by KEY_DOTS dots; Shift+arrows pan
//   + and -                 dolly one step nearer or farther
//
// A live_source (the studio, studio_qt.h) can stand in for the file: while
// one is set the driver runs (live view's tick aside), the file's changes
// go to it instead of being read, no frame starts while it holds, and it
// hears of the camera's moves by hand (which camera fields, as bits
// 1 << V_RX ...) and of their rest. source_changed() says it has put a new
// scene in the model.
#pragma once

#include "../live.h"
#include "view.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QPoint>
#include <QTimer>
#include <memory>
#include <string>
#include <thread>

class QKeyEvent;
class QMouseEvent;
class QStatusBar;
class QWheelEvent;
class render_job;

constexpr int CHANGE_MS = 80;
constexpr int REST_MS = 150;

struct live_source {
    virtual bool holding() const = 0;
    virtual void file_changed() = 0;
    virtual void camera_moved(unsigned fields) = 0;
    virtual void camera_rested() = 0;
    virtual ~live_source() = default;
};

class LiveDriver : public QObject {
public:
    LiveDriver(QObject *parent, session &s, row_overlay &ov, QStatusBar *bar);
    ~LiveDriver() override;

    const live_state &state() const { return st; }
    // Live view on or off: s.app.live follows.
    void set_on(bool on);
    // The scene's source instead of the file; null: the file again.
    void set_source(live_source *src);
    // The source put a new scene in the model: a preview, then the picture.
    void source_changed();
    // Stops the frame that runs (its scene is stale) and goes on.
    void drop_frame();
    // Starts what is due (after a source stopped holding).
    void resume() { pump(); }
    // The camera fields moved by hand since the scene file was last read
    // or written (bits 1 << V_RX ...).
    unsigned hand_moved() const { return hand_mask; }
    // Follows the scene file the window has now, if another than before.
    void follow();
    void command_ran(int id);
    // Stops the running frame and waits for it: before a command that
    // wants the picture or the scene.
    void pause();
    bool running() const { return job != nullptr; }

    void mouse(QMouseEvent *e);
    void wheel(QWheelEvent *e);
    bool key(QKeyEvent *e);

private:
    void pump();
    void start(int kind);
    void finished(unsigned gen, int rc);
    void end_frame(int rc);
    void moved(unsigned fields);
    void update_on();
    // Pans the look point by dx, dy dots of the screen; false without a view.
    bool pan_by(int dx, int dy);
    void reload();
    void watch();
    void say(const std::string &text);

    session &s;
    row_overlay &ov;
    QStatusBar *bar;
    live_state st;
    QFileSystemWatcher watcher;
    QTimer change_timer, rest_timer;
    QString followed; // the scene file followed
    std::unique_ptr<render_job> job;
    std::thread worker;
    unsigned gen = 0;
    unsigned serial_seen = 0; // scene_serial when the file's camera was last taken
    QPoint last;              // the mouse at the last motion
    int drag = 0;             // 0 none, 1 orbit, 2 pan
    live_source *source = nullptr;
    unsigned hand_mask = 0;
};
