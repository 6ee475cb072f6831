// anim.h - animations: frame k of n made from key scenes (scene/keys.h),
// turned round the look point as a turntable, and a job that renders a
// run of frames and hands them over in order.
//
//   anim_plan plan;                    // keys (the caller keeps them), frames, orbit
//   anim_scene(plan, k, sc, axes);     // frame k's scene, and the semi-axes to write it with
//   anim_options opt;                  // render options, size, first..last frame
//   anim_job job(plan, opt);
//   int rc = job.run(on_frame);        // on_frame(k, render) on the caller's thread
//
// Frame k's scene is the mix of the keys at frame k (keys.h); with orbit,
// its eye then turns orbit_deg·k/n degrees about the vertical through the
// look point (turn, camera_moves.h), in one turn from the mixed scene, so that
// frame k is the same whichever frames are rendered with it, and a turn of
// 360 degrees comes round to frame 0 after the last frame, not on it.
//
// The job renders frame first to last, each as render_job (render.h) would
// render its scene with the options given (the size, when given, set on
// the scene first, as koru-cli render --size does): frame k's picture is
// byte for byte the picture of that scene. The frames are handed to
// on_frame in order, on the thread that called run(), while the frames
// after them are traced on a thread of the job's own: frame k+1 is traced
// while on_frame encodes and writes frame k, so a run takes about the
// longer of the two, not their sum. The tracing runs at most ANIM_AHEAD
// frames ahead of the frame handed over; a frame handed over is dropped
// when on_frame returns, so memory holds a few frames whatever their
// number.
//
// Nothing is handed over once the job is stopped: cancel(), or the render
// options' cancel flag, are checked just before each call of on_frame (the
// step that writes), so after a stop no further frame reaches the caller.
// cancel(), progress() and the counters may be used from any thread while
// run() works.
#pragma once

#include "../base/cancel.h"
#include "../scene/keys.h"
#include "render.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct anim_plan {
    std::vector<const keyscene *> keys; // one or more, of the same structure
    int frames = 1;                     // n
    bool orbit = false;
    double orbit_deg = 0; // the turn from frame 0 to frame n
};

// Frame k's scene into sc, and for each primitive the geom to write it
// with (rt_text's axes, PRIM_MAX entries).
void anim_scene(const anim_plan &plan, int k, scene &sc, vec *axes);

struct anim_options {
    render_options render;    // every frame's; its cancel flag is watched between frames too,
                              // and before each frame is handed over
    int w = -1, h = -1;       // a picture size in place of the scenes' (when w >= 0)
    int first = 0, last = -1; // frames rendered; last -1: to the end
};

enum {
    ANIM_REFUSED = 100, // on_frame returned false: stopped there
};

// How many frames the tracing may run ahead of the frame being handed over.
constexpr int ANIM_AHEAD = 2;

// Handed each finished frame: its number and the render, whose result(),
// view() and model() are the frame's. Returns false to stop the run.
using frame_fn = std::function<bool(int k, const render_job &r)>;

class anim_job {
public:
    anim_job(const anim_plan &plan, const anim_options &opt)
        : plan_(plan), opt_(opt), first_(opt.first),
          last_(opt.last < 0 ? plan.frames - 1 : opt.last)
    {
    }
    anim_job(const anim_job &) = delete;
    anim_job &operator=(const anim_job &) = delete;

    // RAY_DONE when every frame was handed over; else the first frame's
    // RAY_ code that had no picture (RAY_CANCELLED when stopped), or
    // ANIM_REFUSED. The frames before it have all been handed over.
    // frame() is then the frame it stopped at, and frame_scene() that
    // frame's scene.
    int run(const frame_fn &on_frame);
    // Stops the run, and cancels token(): whoever writes the frames' file
    // checks it before the file is put in place (cancel.h). false when that
    // had already happened: the file stays.
    bool cancel();
    cancel_token &token() { return token_; }

    int first() const { return first_; }
    int last() const { return last_; }
    int frame() const { return frame_.load(); }             // the frame being traced
    int frames_done() const { return frames_done_.load(); } // handed over so far
    // The share of the run done, 0..1: the mean of the share traced (whole
    // frames and the rows of the one being traced) and the share handed
    // over.
    double progress() const;
    const scene &frame_scene() const { return sc_; } // valid once run() has returned

private:
    struct slot; // a frame traced, or being traced, not yet handed over

    int trace(slot &s, int k);
    void trace_frames(slot *slots);
    void end_tracing();
    int hand_over(const frame_fn &on_frame, slot *slots, bool here, int &k);

    const anim_plan &plan_;
    anim_options opt_;
    const int first_, last_;
    scene sc_;
    std::atomic<bool> stop_{false};
    cancel_token token_;
    std::atomic<int> frame_{0}, frames_done_{0};
    mutable std::mutex mu_; // guards what follows
    std::condition_variable moved_;
    render_job *current_ = nullptr; // the frame being traced
    int traced_ = 0;                // frames traced, with a picture or not
    bool tracing_ = false;          // the tracing thread goes on
    bool quit_ = false;             // the tracing thread is to stop
};
