// render_qt.h - a render on worker threads while the window stays alive.
//
// run_render(parent, job) runs job.run() on a thread and the event loop
// until it returns: the window keeps painting, and after a moment a modal
// "Tracing" window shows the rows done out of the rows, with a Cancel
// button (Escape and its close box cancel too) that stops the render.
// Returns the RAY_ code.
//
// Test seams: render_hook sees the render as it starts; render_fn, when
// set, runs in place of job.run(); progress_delay_ms is how long a render
// runs before the progress window shows.
#pragma once

#include "../../trace/render.h"

#include <functional>

class QWidget;

int run_render(QWidget *parent, render_job &job);

extern std::function<void(render_job &)> render_hook;
extern std::function<int(render_job &)> render_fn;
extern int progress_delay_ms;
