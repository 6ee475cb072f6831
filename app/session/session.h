// session.h - one window's worth of KORU: its application state, its
// display state, the studio's state, and the ui_port through which the
// logic asks the window for dialogs, messages and renders.
//
//   MainWin win;                 // owns one session over itself
//   script_ui ui; session s(ui); // or a test's, over a scripted port
//   run_command(s, IDM_OPENRT);  // the commands take it (pipeline.h)
//
// The dialogs' logic, printing and the live view take the parts they use
// (the scene, the display state) by reference. Two sessions in one process
// share nothing.
//
// A job beside the window (a render, an animation) runs between
// begin_job and end_job: meanwhile busy is set, every command but Help,
// About and Stop render waits, and stop_job(s) (Stop render, the progress
// window's Cancel) asks it to stop. When the job's results have been
// shown, job_done(s) runs what was to follow the command that started it
// (after_job: the window's steps after every command), once.
#pragma once

#include "app/session/appstate.h"
#include "app/session/display_state.h"
#include "app/session/messages.h"
#include "app/session/prefs.h"
#include "app/studio/studio_state.h"

#include <functional>

struct ui_port;
class live_view;
struct player_part;
struct studio_part;

// The window's parts that take part around its commands (pipeline.h),
// registered by the window; none in a session of its own.
struct session_parts {
    live_view *live = nullptr;
    studio_part *studio = nullptr;
    player_part *player = nullptr;
};

struct session {
    explicit session(ui_port &port) : ui(port) {}
    session(const session &) = delete;
    session &operator=(const session &) = delete;

    app_state app;
    display_state disp;
    studio_state studio;
    ui_port &ui;
    message_log said; // what the window said (say.h)
    prefs kept;       // the settings to remember, as this run leaves them
    session_parts parts;

    std::function<void()> job_stop;  // how the job that runs stops early
    std::function<void()> after_job; // what follows once it has ended
};

// busy set (1) or cleared (0), and the window told that the commands
// available changed.
void set_busy(session &s, int on);
void begin_job(session &s, std::function<void()> stop);
void end_job(session &s);
void job_done(session &s);
void stop_job(session &s);
