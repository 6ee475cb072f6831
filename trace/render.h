// render.h - a render job: one picture of one scene, traced on worker
// threads.
//
//   render_job r(sc, opts);   // takes a copy of sc: the caller may go on
//   int rc = r.run();         // traces on worker threads; RAY_ code
//   r.result()                // the picture (when opts.keep)
//   r.view()                  // the frame it used, for apply_frame
//
// The frame (frame.h) is derived from the scene's camera; the picture is
// frame.width x frame.h dots, rows from the top; a stereo pair holds in
// each row the view of the eye moved along +uvec, then that of the eye
// moved along -uvec. Each dot is traced by one primary ray (N x N of them
// with anti-aliasing, below) and stores min(channel, 255) as the low eight
// bits.
//
// The rays are traced by the accelerated tracer (fast.h), prepared once for
// the picture, its grids built by the worker threads before they trace;
// opts.plain, or a scene outside the accelerated tracer's range, takes the
// plain search (shade.h) instead. Both give the same bytes.
//
// Anti-aliasing (aa = N, 1..8): the picture is the one traced at N times
// as many dots across and down (scaled_frame), each N x N block averaged
// per channel as (sum + N*N/2) / (N*N) in integers; for a pair, each eye's
// half so. The traced picture may go beyond WIDTH_MAX x HEIGHT_MAX: it is
// never held, one row of the picture is traced and averaged at a time.
// aa 1 is the plain picture. An anaglyph (frame.h) takes its red from the
// view of the eye moved along -uvec and its green and blue from that of
// the eye moved along +uvec: the halves of the pair twice as wide, each
// averaged as above first.
//
// Every dot depends only on the scene, so the picture is the same for any
// number of threads, and any number of renders may run at once: a render
// owns all its working state and reads nothing else. cancel() and the
// progress counters may be used from any thread while run() works.
#pragma once

#include "../image/rgb.h"
#include "fast.h"
#include "frame.h"
#include "shade.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

enum {
    RAY_DONE = 0,      // the picture is complete
    RAY_NOVIEW = 1,    // the look direction has no length: nothing traced
    RAY_CANCELLED = 2, // stopped: the picture is incomplete, throw it away
    RAY_TOODEEP = 3,   // rays nest deeper than a thread's stack holds (the
                       // depth asked for is in the hundred thousands): stopped
};

// Called on a tracing thread as each row is done: row y of the picture,
// w samples per channel (w is the picture's width, h its height). Rows
// are handed out in groups of ROW_GROUP, rows g·ROW_GROUP on (the last
// group may be shorter); the rows of a group are done in order by one
// thread, and the groups in order of their start.
constexpr int ROW_GROUP = 8;
using row_fn = std::function<void(int y, int w, int h, const unsigned char *r,
                                  const unsigned char *g, const unsigned char *b)>;

constexpr int AA_MAX = 8;

struct render_options {
    int stereo = 0;             // nonzero: a crossed stereo pair
    int aa = 1;                 // 1..AA_MAX dots traced across and down per dot; beyond: the
                                // nearer bound
    bool anaglyph = false;      // red-cyan: one picture from the two eyes (stereo aside)
    int threads = 0;            // 0: one per core
    bool plain = false;         // the reference tracer, one thread
    int kernels = KERNELS_BEST; // the accelerated tracer's vector kernels (kernels.h)
    bool keep = true;           // false: rows go to on_row only, result() stays empty
    row_fn on_row;              // may be empty
    const std::atomic<bool> *cancel = nullptr; // the caller's own stop flag, or null
};

class render_job {
public:
    explicit render_job(const scene &sc, const render_options &opt = {});
    render_job(const render_job &) = delete;
    render_job &operator=(const render_job &) = delete;

    int run();
    void cancel() { stop_.cancel.store(true); }
    bool stopping() const { return stop_.halt(); } // cancelled, or stopped too deep

    int rows() const { return rows_.load(); }           // rows to trace, once known
    int rows_done() const { return rows_done_.load(); } // rows traced so far
    long long rays() const { return rays_.load(); }     // primary and secondary
    long long shadow_rays() const { return shadow_rays_.load(); }

    const picture &result() const { return pic_; }
    const frame &view() const { return frame_; } // the picture's frame, not the traced one
    const scene &model() const { return sc_; }

private:
    void trace_rows(int nthreads);
    void trace_row(plain_tracer &tr, int y, unsigned char *r, unsigned char *g, unsigned char *b);
    void trace_row(fast_tracer &tr, int y, unsigned char *r, unsigned char *g, unsigned char *b);
    template <class TR>
    bool make_row(TR &tr, int y, unsigned char *r, unsigned char *g, unsigned char *b,
                  std::vector<unsigned char> &traced, std::vector<unsigned> &sums);

    scene sc_;
    render_options opt_;
    int aa_ = 1;
    frame frame_{}; // the picture's
    frame trace_{}; // the dots traced: frame_ scaled by aa_
    picture pic_;
    trace_stop stop_;
    fast_prep_ptr prep_;
    std::vector<vec> colpart_; // look point + su * uvec, by column
    std::vector<int> tilecol_; // the picture tile's column, by traced column
    std::atomic<int> rows_{0}, rows_done_{0};
    std::atomic<long long> rays_{0}, shadow_rays_{0};
};

// Why a render gave no picture, as one phrase without a capital or a
// full stop, for the caller to frame ("...; nothing to render"): "stopped"
// for RAY_CANCELLED, the look direction or the depth of sc for RAY_NOVIEW
// and RAY_TOODEEP; empty for RAY_DONE.
std::string ray_status_text(int rc, const scene &sc);

// What a finished picture leaves behind in the window: the frame written
// back to sc (apply_frame) and the picture in the first dots of pl.
void keep_picture(const render_job &r, scene &sc, planes &pl);

int render_threads_default();

// A preview frame of a w x h picture is the same view traced as a picture
// of (w / step) x (h / step) dots, about PREVIEW_DOTS in all: every step-th
// dot across and down, which the live view shows enlarged step times.
constexpr int PREVIEW_DOTS = 160 * 120;
int preview_step(int w, int h);
