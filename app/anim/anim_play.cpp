#include "app/anim/anim_play.h"

#include "app/session/command_ids.h"
#include "base/msg.h"

int anim_frames::open(const std::string &name, double fps, int n, msglist &msgs)
{
    name_ = name;
    kind_ = anim_kind(name.c_str());
    fps_ = fps;
    n_ = 0;
    covered_ = last_first_ = 0;
    cache_.clear();
    bytes_ = 0;
    if (!in_.open(name.c_str(), fps, msgs))
        return 0;
    n_ = n > 0 ? n : 0;
    return 1;
}

bool anim_frames::get(int k, picture &pic, msglist &msgs)
{
    if (k < 0 || k >= n_) {
        msgs.add("there is no frame %d", k);
        return false;
    }
    auto it = cache_.find(k);
    if (it != cache_.end()) {
        it->second.used = ++clock_;
        pic = it->second.pic;
        return true;
    }
    if (!read(k, pic, msgs))
        return false;
    keep(k, pic);
    return true;
}

// Frame k from the file: a numbered picture on its own, else the frames
// from the decoder's place (or the start) up to it, each kept on the way.
bool anim_frames::read(int k, picture &pic, msglist &msgs)
{
    if (kind_ == ANIM_NUMBERED) {
        std::string file;
        frame_name(name_.c_str(), k, file);
        if (!load_frame(file, planes_, pic, msgs))
            return false;
        decoded_++;
        return true;
    }
    // the last picture decoded may stand for several frames
    if (k >= last_first_ && k < covered_) {
        pic = last_;
        return true;
    }
    if (k < last_first_) {
        if (!in_.rewind(msgs))
            return false;
        covered_ = last_first_ = 0;
    }
    int end_ms;
    while (covered_ <= k) {
        if (!in_.next(last_, end_ms, msgs)) {
            if (msgs.empty())
                msgs.add("the file ends before frame %d", covered_ + 1);
            msglist ignored;
            in_.rewind(ignored); // from the start next time
            covered_ = last_first_ = 0;
            return false;
        }
        decoded_++;
        last_first_ = covered_;
        covered_ = kind_ == ANIM_WEBP ? started_before(end_ms) : covered_ + 1;
        if (covered_ <= last_first_)
            covered_ = last_first_ + 1;
        for (int j = last_first_; j < covered_ && j < n_; j++)
            if (j != k)
                keep(j, last_);
    }
    pic = last_;
    return true;
}

// The frames that start before ms: a WebP frame the same as the one
// before it is merged into it, and ends where the last of them ends.
int anim_frames::started_before(long long ms) const
{
    int k = (int)(ms * fps_ / 1000);
    while (k > 0 && anim_ms(k - 1, fps_) >= ms)
        k--;
    while (k < n_ && anim_ms(k, fps_) < ms)
        k++;
    return k;
}

void anim_frames::keep(int k, const picture &pic)
{
    const size_t size = pic.r.size() * 3;
    if (size > budget_ || cache_.count(k))
        return;
    while (bytes_ + size > budget_ && !cache_.empty()) {
        auto oldest = cache_.begin();
        for (auto it = cache_.begin(); it != cache_.end(); ++it)
            if (it->second.used < oldest->second.used)
                oldest = it;
        bytes_ -= oldest->second.pic.r.size() * 3;
        cache_.erase(oldest);
    }
    cache_[k] = kept{pic, ++clock_};
    bytes_ += size;
}

void play_start(anim_play &p, long long now)
{
    p.playing = p.n > 1;
    p.origin = now - anim_ms(p.k, p.fps);
}

void play_pause(anim_play &p) { p.playing = false; }

void play_seek(anim_play &p, int k, long long now)
{
    p.k = k < 0 ? 0 : k >= p.n ? p.n - 1 : k;
    p.origin = now - anim_ms(p.k, p.fps);
}

long long play_tick(anim_play &p, long long now)
{
    if (!p.playing)
        return -1;
    const long long total = anim_ms(p.n, p.fps);
    long long t = now - p.origin;
    if (t < 0 || total <= 0)
        t = 0;
    const long long loops = total > 0 ? t / total : 0;
    t -= loops * total;
    // the last frame that started at or before t
    int j = (int)(t * p.fps / 1000);
    if (j > p.n - 1)
        j = p.n - 1;
    while (j + 1 < p.n && anim_ms(j + 1, p.fps) <= t)
        j++;
    while (j > 0 && anim_ms(j, p.fps) > t)
        j--;
    p.k = j;
    return p.origin + loops * total + anim_ms(j + 1, p.fps);
}

bool anim_player_stays(int id)
{
    switch (id) {
    case IDM_HELP:
    case IDM_GUIDE:
    case IDM_ABOUT:
    case IDM_CONFIG:
    case IDM_LIVE:
    case IDM_SETTING:
    case IDM_SAVERT:
    case IDM_ANIMATE:
        return true;
    default:
        // the anti-aliasing, and the zoom and mode keys: the player shows
        // its frames at the window's zoom and mode
        return (id >= IDM_AA1 && id <= IDM_AA4) || (id >= KEY_ZOOM_IN && id <= KEY_MODE2);
    }
}
