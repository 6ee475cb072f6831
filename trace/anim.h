// anim.h - animations: frame k of n made from key scenes (scene/keys.h),
// turned round the look point as a turntable, and a job that renders a
// run of frames one after another.
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
// byte for byte the picture of that scene. Frames are rendered one at a
// time and handed to on_frame as each is finished; nothing is kept.
// cancel(), progress() and the counters may be used from any thread while
// run() works.
#pragma once

#include "../base/cancel.h"
#include "../scene/keys.h"
#include "render.h"

#include <atomic>
#include <functional>
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
    render_options render;    // every frame's; its cancel flag is watched between frames too
    int w = -1, h = -1;       // a picture size in place of the scenes' (when w >= 0)
    int first = 0, last = -1; // frames rendered; last -1: to the end
};

enum {
    ANIM_REFUSED = 100, // on_frame returned false: stopped there
};

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
    // ANIM_REFUSED. frame() is then the frame it stopped at, and scene()
    // that frame's scene.
    int run(const frame_fn &on_frame);
    // Stops the run, and cancels token(): whoever writes the frames' file
    // checks it before the file is put in place (cancel.h). false when that
    // had already happened: the file stays.
    bool cancel();
    cancel_token &token() { return token_; }

    int first() const { return first_; }
    int last() const { return last_; }
    int frame() const { return frame_.load(); }             // the frame being rendered
    int frames_done() const { return frames_done_.load(); } // handed over so far
    // The share of the run done, 0..1: whole frames and the rows of this one.
    double progress() const;
    const scene &frame_scene() const { return sc_; } // valid once run() has returned

private:
    const anim_plan &plan_;
    anim_options opt_;
    const int first_, last_;
    scene sc_;
    vec axes_[PRIM_MAX];
    std::atomic<bool> stop_{false};
    cancel_token token_;
    std::atomic<int> frame_{0}, frames_done_{0};
    mutable std::mutex mu_;         // guards current_
    render_job *current_ = nullptr; // the frame being rendered
};
