#include "anim.h"

#include "camera_moves.h"

#include <memory>

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

int anim_job::run(const frame_fn &on_frame)
{
    const std::atomic<bool> *outside = opt_.render.cancel;
    for (int k = first_; k <= last_; k++) {
        frame_ = k;
        anim_scene(plan_, k, sc_, axes_);
        if (opt_.w >= 0) {
            sc_.ixmx = opt_.w;
            sc_.iymx = opt_.h;
        }
        if (stop_ || (outside && *outside))
            return RAY_CANCELLED;

        // Trace the frame where cancel() can reach it
        auto job = std::make_unique<render_job>(sc_, opt_.render);
        {
            std::lock_guard<std::mutex> lock(mu_);
            current_ = job.get();
            if (stop_)
                job->cancel();
        }
        const int rc = job->run();
        const bool taken = rc == RAY_DONE && on_frame(k, *job);
        {
            std::lock_guard<std::mutex> lock(mu_);
            current_ = nullptr;
        }
        if (rc != RAY_DONE)
            return rc;
        if (!taken)
            return ANIM_REFUSED;
        frames_done_++;
    }
    return RAY_DONE;
}

bool anim_job::cancel()
{
    const bool won = token_.cancel();
    std::lock_guard<std::mutex> lock(mu_);
    stop_ = true;
    if (current_)
        current_->cancel();
    return won;
}

double anim_job::progress() const
{
    const int n = last_ - first_ + 1;
    if (n <= 0)
        return 0;
    double part = 0;
    {
        std::lock_guard<std::mutex> lock(mu_);
        if (current_ && current_->rows() > 0)
            part = (double)current_->rows_done() / current_->rows();
    }
    return (frames_done_ + part) / n;
}
