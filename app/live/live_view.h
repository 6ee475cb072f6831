// live_view.h - live view's driver, without the toolkit: the picture
// follows the scene file and the camera moved by hand, in frames run
// beside the window as live.h's live_state decides.
//
// The window tells it what happens: the followed file changed (CHANGE_MS
// after the last change), the camera moved by hand (the model already
// moved: which fields, as bits 1 << V_RX ...), the camera rested (REST_MS
// after the last move). It answers through a live_port: a frame to run
// beside the window (at most one at a time), the rows to show over the
// picture as they are traced, the file to watch, the status line shown
// while live view is on, the rest to wait for. Each frame is a render_job
// of a copy of the session's scene; an exact frame, when it is done, is
// kept as Make Image keeps its picture (show_made). Reader warnings and
// the reasons a picture cannot be made go to the status line (say.h).
//
// A live_source (the studio) can stand in for the file: while one is set
// the driver runs (live view's tick aside), the file's changes go to it
// instead of being read, no frame starts while it holds, and it hears of
// the camera's moves by hand and of their rest. source_changed() says it
// has put a new scene in the model.
//
// Around a command (pipeline.h): pause() stops the running frame and
// waits for it; follow() takes the scene file the window has now;
// command_ran(id) says the command ran (its scene, camera or
// anti-aliasing may want a new picture), and starts what is due.
#pragma once

#include "app/live/live.h"
#include "trace/render.h"

#include <functional>
#include <memory>
#include <string>

struct session;

constexpr int CHANGE_MS = 80; // a file's changes gathered this long before it is read
constexpr int REST_MS = 150;  // the camera rests this long after the last move

struct live_source {
    virtual bool holding() const = 0;
    virtual void file_changed() = 0;
    virtual void camera_moved(unsigned fields) = 0;
    virtual void camera_rested() = 0;
    virtual ~live_source() = default;
};

struct live_port {
    // Runs job beside the window, then done(its RAY_ code) on the window's
    // thread; the job lives until then.
    virtual void run_frame(render_job &job, std::function<void(int)> done) = 0;
    // The frame that runs was cancelled: waits until it has stopped. Its
    // done is not called.
    virtual void wait_frame() = 0;
    // The rows of the frame about to start, shown as they are traced (a
    // preview stands for a full_w x full_h picture; 0: its own size), and
    // taken away.
    virtual row_fn frame_rows(int full_w, int full_h) = 0;
    virtual void clear_rows() = 0;
    virtual void watch(const std::string &path) = 0; // "": nothing
    virtual void shown(bool on) = 0;                 // live view on or off
    virtual void moving() = 0;                       // the camera rests REST_MS from now
    virtual ~live_port() = default;
};

class live_view {
public:
    live_view(session &s, live_port &port);
    ~live_view();
    live_view(const live_view &) = delete;
    live_view &operator=(const live_view &) = delete;

    const live_state &state() const { return st; }
    // Live view on or off: s.app.live follows.
    void set_on(bool on);
    void set_source(live_source *src);
    void source_changed();
    // Stops the frame that runs (its scene is stale) and goes on.
    void drop_frame();
    // Starts what is due (after a source stopped holding).
    void resume() { pump(); }
    // The camera fields moved by hand since the scene file was last read
    // or written.
    unsigned hand_moved() const { return hand_mask; }
    void follow();
    void command_ran(int id);
    void pause();
    bool running() const { return job != nullptr; }

    // What the window saw.
    void file_changed();
    void rested();
    void moved(unsigned fields);
    // The model's scene moved by hand (the studio's drag): previews, and
    // the exact picture only once rested() says the hand let go.
    void dragged();
    // Whether the mouse and keys move the camera now.
    bool steering() const;
    // Pans the look point by dx, dy dots of the screen; false without a view.
    bool pan_by(int dx, int dy);

private:
    void update_on();
    void pump();
    void start(int kind);
    void end_frame(int rc);
    void reload();
    void say(const std::string &text);

    session &s;
    live_port &port;
    live_state st;
    std::string followed; // the scene file followed
    std::unique_ptr<render_job> job;
    unsigned serial_seen = 0; // scene_serial when the file's camera was last taken
    live_source *source = nullptr;
    unsigned hand_mask = 0;
};
