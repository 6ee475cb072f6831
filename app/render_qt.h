// render_qt.h - a render on worker threads while the window stays alive.
//
// run_render(parent, stereo) starts ray_main(stereo, &ctl) on a thread and
// runs the event loop until it returns: the window keeps painting, and
// after a moment a modal "Tracing" window shows the rows done out of the
// rows, with a Cancel button (Escape and its close box cancel too) that
// stops the render; ray_main then puts everything back. Returns the RAY_
// code.
//
// Test seams: render_hook sees the control block as the render starts;
// render_fn, when set, runs in place of ray_main; progress_delay_ms is how
// long a render runs before the progress window shows.
#pragma once

#include "../trace/render.h"

#include <functional>

class QWidget;

int run_render(QWidget *parent, int stereo);

extern std::function<void(render_ctl &)> render_hook;
extern std::function<int(int stereo, render_ctl *ctl)> render_fn;
extern int progress_delay_ms;
