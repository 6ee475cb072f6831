#include "thumbnail.h"

#include "render.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using steady = std::chrono::steady_clock;

// How often the watchdog looks at the caller's own stop flag.
constexpr std::chrono::milliseconds POLL{20};
// A deadline further off than this (a day, in seconds) is this far off.
constexpr double LONGEST = 86400;

// Sets its flag at the deadline, or once the caller's own flag is set,
// whichever comes first; with no deadline only the latter. Its thread ends
// when it is destroyed.
class watchdog {
public:
    watchdog(double seconds, const std::atomic<bool> *caller) : caller_(caller)
    {
        timed_ = seconds > 0;
        if (timed_)
            end_ = steady::now() + std::chrono::duration_cast<steady::duration>(
                                       std::chrono::duration<double>(std::min(seconds, LONGEST)));
        if (timed_ || caller_)
            thread_ = std::thread([this] { watch(); });
    }
    ~watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            done_ = true;
        }
        cv_.notify_one();
        if (thread_.joinable())
            thread_.join();
    }
    watchdog(const watchdog &) = delete;
    watchdog &operator=(const watchdog &) = delete;

    const std::atomic<bool> &flag() const { return fired_; }
    bool caller_stopped() const { return caller_ && caller_->load(); }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(m_);
        while (!done_) {
            const steady::time_point now = steady::now();
            if ((timed_ && now >= end_) || caller_stopped()) {
                fired_.store(true);
                return;
            }
            steady::time_point next = now + POLL;
            if (timed_ && (!caller_ || end_ < next))
                next = end_;
            cv_.wait_until(lock, next);
        }
    }

    const std::atomic<bool> *caller_;
    bool timed_;
    steady::time_point end_;
    std::atomic<bool> fired_{false};
    std::mutex m_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

// sw x sh scaled so that its longer side is side dots, within WIDTH_MAX x
// HEIGHT_MAX, each side at least 1 (and the width even for a pair).
void fit(long long sw, long long sh, int side, int stereo, int &w, int &h)
{
    const long long s = std::max(side, 1);
    if (sw >= sh) {
        w = (int)s;
        h = (int)((sh * s + sw / 2) / sw);
    } else {
        h = (int)s;
        w = (int)((sw * s + sh / 2) / sh);
    }
    if (h > HEIGHT_MAX) {
        h = HEIGHT_MAX;
        w = (int)((sw * HEIGHT_MAX + sh / 2) / sh);
    }
    w = std::max(std::min(w, WIDTH_MAX), 1);
    h = std::max(h, 1);
    if (stereo)
        w = std::max(w - w % 2, 2);
}

struct traced {
    picture pic;
    long long rays = 0;
};

// sc's picture at w x h dots, stopped by stop.
int trace_at(const scene &sc, int w, int h, const thumb_options &o, const std::atomic<bool> &stop,
             traced &t)
{
    scene s = sc;
    s.ixmx = w;
    s.iymx = h;
    s.ilvlmx = std::min(s.ilvlmx, THUMB_DEPTH);
    render_options ro;
    ro.stereo = o.stereo;
    ro.aa = o.aa;
    ro.threads = o.threads > 0 ? o.threads : std::min(THUMB_THREADS, render_threads_default());
    ro.cancel = &stop;
    render_job job(s, ro);
    const int rc = job.run();
    if (rc == RAY_DONE) {
        t.pic = job.result();
        t.rays = job.rays() + job.shadow_rays();
    }
    return rc;
}

// from enlarged to w x h, each dot taking the dot of from it falls in.
void enlarge(const picture &from, int w, int h, picture &to)
{
    to.resize(w, h);
    for (int y = 0; y < h; y++) {
        const size_t row = (size_t)((long long)y * from.h / h) * from.w;
        for (int x = 0; x < w; x++) {
            const size_t at = row + (size_t)((long long)x * from.w / w), i = (size_t)y * w + x;
            to.r[i] = from.r[at], to.g[i] = from.g[at], to.b[i] = from.b[at];
        }
    }
}

} // namespace

void thumb_size(const scene &sc, const thumb_options &o, int &w, int &h)
{
    long long sw = sc.ixmx, sh = sc.iymx;
    if (sw <= 0 || sh <= 0)
        sw = 4, sh = 3;
    sw = std::min<long long>(sw, WIDTH_MAX);
    sh = std::min<long long>(sh, HEIGHT_MAX);
    fit(sw, sh, std::min(o.size, THUMB_MAX), o.stereo, w, h);
}

int make_thumbnail(const scene &sc, const thumb_options &o, picture &pic, std::string &why)
{
    int w, h, pw, ph;
    thumb_size(sc, o, w, h);
    fit(w, h, std::min(PROBE_SIDE, std::max(w, h)), o.stereo, pw, ph);
    watchdog dog(o.seconds, o.cancel);
    auto refused = [&](int rc) {
        why = dog.caller_stopped()  ? "stopped"
              : rc == RAY_CANCELLED ? "it takes too long to draw"
                                    : ray_status_text(rc, sc);
        return THUMB_NONE;
    };

    traced probe;
    int rc = trace_at(sc, pw, ph, o, dog.flag(), probe);
    if (rc != RAY_DONE)
        return refused(rc);
    if (pw == w && ph == h) {
        pic = std::move(probe.pic);
        return THUMB_FULL;
    }

    // the largest size the budget allows, judged by the probe's rays a dot
    int tw = w, th = h;
    const double cost = (double)probe.rays / ((double)pw * ph) * ((double)w * h);
    if (cost > (double)o.rays) {
        const double k = o.rays > 0 ? std::sqrt((double)o.rays / cost) : 0;
        fit(w, h, (int)(std::max(w, h) * k), o.stereo, tw, th);
    }
    traced t;
    if (tw > pw && th > ph) {
        rc = trace_at(sc, tw, th, o, dog.flag(), t);
        if (dog.caller_stopped())
            return refused(rc);
    }
    if (!t.pic.w) {
        enlarge(probe.pic, w, h, pic);
        return THUMB_SMALL;
    }
    if (tw == w && th == h) {
        pic = std::move(t.pic);
        return THUMB_FULL;
    }
    enlarge(t.pic, w, h, pic);
    return THUMB_SMALL;
}
