#include "anim.h"

#include "camera_moves.h"

#include <memory>
#include <system_error>
#include <thread>

void anim_scene(const anim_plan &plan, int k, scene &sc, vec *axes)
{
    const int nkeys = (int)plan.keys.size();
    int seg;
    double u;
    key_place(k, plan.frames, nkeys, seg, u);
    const keyscene &a = *plan.keys[seg], &b = *plan.keys[seg + 1 < nkeys ? seg + 1 : seg];
    key_mix(a, b, u, sc, axes);
    if (plan.orbit)
        turn(sc, plan.orbit_deg * k / plan.frames);
}

namespace {

// The frames in hand at once: the one handed over and those traced ahead.
constexpr int SLOTS = ANIM_AHEAD + 1;

} // namespace

struct anim_job::slot {
    int rc = RAY_DONE;
    scene sc;
    vec axes[PRIM_MAX];
    std::unique_ptr<render_job> job;
};

// Traces frame k into s, where cancel() can reach it; its RAY_ code.
int anim_job::trace(slot &s, int k)
{
    frame_ = k;
    anim_scene(plan_, k, s.sc, s.axes);
    if (opt_.w >= 0) {
        s.sc.ixmx = opt_.w;
        s.sc.iymx = opt_.h;
    }
    const std::atomic<bool> *outside = opt_.render.cancel;
    if (stop_ || (outside && *outside))
        return s.rc = RAY_CANCELLED;
    s.job = std::make_unique<render_job>(s.sc, opt_.render);
    {
        std::lock_guard<std::mutex> lock(mu_);
        current_ = s.job.get();
        if (stop_ || quit_)
            s.job->cancel();
    }
    s.rc = s.job->run();
    std::lock_guard<std::mutex> lock(mu_);
    current_ = nullptr;
    return s.rc;
}

// The tracing thread: each frame into its slot once the frame SLOTS before
// it has been handed over, until a frame has no picture or run() is done.
void anim_job::trace_frames(slot *slots)
{
    for (int i = 0; i <= last_ - first_; i++) {
        {
            std::unique_lock<std::mutex> lock(mu_);
            moved_.wait(lock, [&] { return quit_ || i < frames_done_ + SLOTS; });
            if (quit_)
                break;
        }
        const int rc = trace(slots[i % SLOTS], first_ + i);
        {
            std::lock_guard<std::mutex> lock(mu_);
            traced_++;
        }
        moved_.notify_all();
        if (rc != RAY_DONE)
            break;
    }
    std::lock_guard<std::mutex> lock(mu_);
    tracing_ = false;
    moved_.notify_all();
}

// Stops the tracing thread where it is.
void anim_job::end_tracing()
{
    std::lock_guard<std::mutex> lock(mu_);
    quit_ = true;
    if (current_)
        current_->cancel();
    moved_.notify_all();
}

// Hands frames first.. over in order, each once it is traced (here, when
// there is no tracing thread); the run's code, with k the frame it ended at.
int anim_job::hand_over(const frame_fn &on_frame, slot *slots, bool here, int &k)
{
    const std::atomic<bool> *outside = opt_.render.cancel;
    for (k = first_; k <= last_; k++) {
        const int i = k - first_;
        slot &s = slots[i % SLOTS];
        if (here)
            trace(s, k);
        {
            std::unique_lock<std::mutex> lock(mu_);
            traced_ += here;
            moved_.wait(lock, [&] { return traced_ > i || !tracing_; });
            if (traced_ <= i) // the tracing stopped before this frame: cancelled
                return RAY_CANCELLED;
        }
        if (s.rc != RAY_DONE)
            return s.rc;
        // a stop wins over a frame traced but not handed over yet
        if (stop_ || (outside && *outside))
            return RAY_CANCELLED;
        const bool taken = on_frame(k, *s.job);
        s.job.reset();
        if (!taken)
            return ANIM_REFUSED;
        {
            std::lock_guard<std::mutex> lock(mu_);
            frames_done_++;
        }
        moved_.notify_all();
    }
    return RAY_DONE;
}

int anim_job::run(const frame_fn &on_frame)
{
    const auto slots = std::make_unique<slot[]>(SLOTS);
    {
        // progress() may be reading them from another thread already
        std::lock_guard<std::mutex> lock(mu_);
        traced_ = 0, frames_done_ = 0, quit_ = false, tracing_ = true;
    }
    int rc, k;
    {
        // the tracing thread, stopped and waited for however the run ends
        struct tracing {
            anim_job &job;
            std::thread t;
            ~tracing()
            {
                job.end_tracing();
                if (t.joinable())
                    t.join();
            }
        } tr{*this, {}};
        try {
            tr.t = std::thread([&] { trace_frames(slots.get()); });
        } catch (const std::system_error &) {
            std::lock_guard<std::mutex> lock(mu_);
            tracing_ = false; // no thread to be had: each frame is traced in turn
        }
        rc = hand_over(on_frame, slots.get(), !tr.t.joinable(), k);
    }
    if (rc != RAY_DONE) {
        frame_ = k;
        sc_ = slots[(k - first_) % SLOTS].sc;
    }
    return rc;
}

bool anim_job::cancel()
{
    const bool won = token_.cancel();
    std::lock_guard<std::mutex> lock(mu_);
    stop_ = true;
    if (current_)
        current_->cancel();
    moved_.notify_all();
    return won;
}

double anim_job::progress() const
{
    const int n = last_ - first_ + 1;
    if (n <= 0)
        return 0;
    double traced, done, part = 0;
    {
        std::lock_guard<std::mutex> lock(mu_);
        traced = traced_;
        done = frames_done_;
        if (current_ && current_->rows() > 0)
            part = (double)current_->rows_done() / current_->rows();
    }
    return ((traced + part) / n + done / n) / 2;
}
