// render.h - the render driver: one primary ray per dot into the planes.
//
// ray_main normalises the look direction in place, places the eye at
// look point + dlength * direction, derives the screen frame uvec (right)
// and vvec (up), clamps the size to 1024 x 768 and traces every dot, rows
// from the top, storing min(channel, 255) as the low eight bits. stereo != 0
// traces a crossed pair: each row holds the view of the eye moved along
// +uvec, then that of the eye moved along -uvec, each half ixmx/2 wide.
//
// Rows are traced on worker threads; each dot depends only on the scene,
// so the picture is the same for any number of threads. The picture goes
// to the planes only when every dot is done.
#pragma once

#include "../scene/scene.h"

#include <atomic>

struct render_ctl {
    int threads = 0;                // 0: one per core
    bool plain = false;             // the reference tracer, one thread
    std::atomic<int> rows_done{0};  // progress, for a watcher on another thread
    std::atomic<int> rows{0};       // rows to trace, set when tracing starts
    std::atomic<bool> cancel{false}; // set from another thread to stop
    // counted by the accelerated tracer: rays traced (primary and
    // secondary) and shadow searches
    std::atomic<long long> rays{0};
    std::atomic<long long> shadow_rays{0};
    // called on the tracing thread as each row is done, with the row's w
    // bytes per channel (w is the picture's final width, h its height):
    // a writer can lay out its file while the rest is traced
    void (*row_done)(void *arg, int y, int w, int h, const unsigned char *r,
                     const unsigned char *g, const unsigned char *b) = nullptr;
    void *row_arg = nullptr;
    // false: the caller takes the picture from row_done alone, and the
    // planes keep what they held
    bool to_planes = true;
};

enum {
    RAY_DONE = 0,      // the picture is in the planes
    RAY_NOVIEW = 1,    // the look direction has no length: nothing changed
    RAY_CANCELLED = 2, // stopped: planes and globals as they were
    RAY_TOODEEP = 3,   // rays nest deeper than a thread's stack holds (the
                       // depth asked for is in the hundred thousands):
                       // stopped, planes and globals as they were
};

int ray_main(int stereo, render_ctl *ctl = nullptr);

// Direction of the ray from eye through the upper-left corner of dot (x, y).
void make_eye(vec &dir, const vec &eye, int x, int y);

int render_threads_default();
