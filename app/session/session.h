// session.h - one window's worth of KORU: its application state, its
// display state, and the ui_port through which the logic asks the window
// for dialogs, messages and renders.
//
//   MainWin win;                 // owns one session over itself
//   script_ui ui; session s(ui); // or a test's, over a scripted port
//   app_command(s, IDM_OPENRT);  // the commands take it (commands.h)
//
// The dialogs' logic, printing and the live view take the parts they use
// (the scene, the display state) by reference. Two sessions in one process
// share nothing.
#pragma once

#include "app/session/appstate.h"
#include "app/session/display_state.h"
#include "app/studio/studio.h"

struct ui_port;

struct session {
    explicit session(ui_port &port) : ui(port) {}
    session(const session &) = delete;
    session &operator=(const session &) = delete;

    app_state app;
    display_state disp;
    studio_state studio;
    ui_port &ui;
};
