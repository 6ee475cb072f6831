// seams.h - what a window's tests put in place of its jobs' parts, each
// window its own.
#pragma once

#include "trace/render.h"

#include <functional>

struct render_seams {
    std::function<void(render_job &)> hook; // sees the render as it starts
    std::function<int(render_job &)> fn;    // when set, runs in place of job.run()
    int progress_delay_ms = 300;            // how long a job runs before its progress window shows
};

// On the animation's thread: each frame before it is taken, and the
// moment before the file is written.
struct anim_seams {
    std::function<void(int k)> frame;
    std::function<void()> writing;
};
