#include "anmf.h"

#include "../base/msg.h"
#include "safewrite.h"

#include <webp/mux.h>

#include <algorithm>
#include <cstring>

namespace {

WebPMux *mux_of(void *p) { return static_cast<WebPMux *>(p); }

constexpr int DURATION_MAX = (1 << 24) - 1; // a frame's duration field, in ms

struct rect {
    int x0, y0, x1, y1; // x1, y1 past the end; empty when y0 == y1
};

// The dots of a and b that differ, within rows of w: the smallest
// rectangle around them, its left and top edges moved to even places.
rect changed(const uint32_t *a, const uint32_t *b, int w, int h)
{
    rect r{w, 0, 0, 0};
    bool any = false;
    for (int y = 0; y < h; y++) {
        const uint32_t *p = a + (size_t)y * w, *q = b + (size_t)y * w;
        if (std::memcmp(p, q, (size_t)w * sizeof *p) == 0)
            continue;
        int x0 = 0, x1 = w;
        while (p[x0] == q[x0])
            x0++;
        while (p[x1 - 1] == q[x1 - 1])
            x1--;
        r.x0 = std::min(r.x0, x0), r.x1 = std::max(r.x1, x1);
        r.y0 = any ? r.y0 : y, r.y1 = y + 1;
        any = true;
    }
    if (!any)
        return rect{0, 0, 0, 0};
    r.x0 &= ~1, r.y0 &= ~1;
    return r;
}

} // namespace

anmf_writer::anmf_writer(int w, int h, vp8l_options opt)
    : w_(w), h_(h), enc_(opt), mux_(WebPMuxNew())
{
}

anmf_writer::~anmf_writer() { WebPMuxDelete(mux_of(mux_)); }

bool anmf_writer::push(int duration, msglist &msgs)
{
    WebPMuxFrameInfo info;
    std::memset(&info, 0, sizeof info);
    info.bitstream.bytes = frame_.data();
    info.bitstream.size = frame_.size();
    info.x_offset = x_, info.y_offset = y_;
    info.id = WEBP_CHUNK_ANMF;
    info.dispose_method = WEBP_MUX_DISPOSE_NONE;
    info.blend_method = WEBP_MUX_NO_BLEND;
    // a frame too long for its field is shown again for the rest; one of
    // no time is still stored
    int left = std::max(duration, 0);
    do {
        info.duration = std::min(left, DURATION_MAX);
        if (!mux_ || WebPMuxPushFrame(mux_of(mux_), &info, 1) != WEBP_MUX_OK) {
            msgs.add("cannot add a frame to the WebP animation");
            return false;
        }
        left -= info.duration;
    } while (left > 0);
    return true;
}

bool anmf_writer::add(const uint32_t *argb, int start_ms, msglist &msgs)
{
    const size_t n = (size_t)w_ * h_;
    rect r{0, 0, w_, h_};
    if (waiting_) {
        r = changed(shown_.data(), argb, w_, h_);
        if (r.y0 == r.y1)
            return true; // the same picture: the frame before lasts longer
        if (!push(start_ms - start_, msgs))
            return false;
    }
    shown_.assign(argb, argb + n);
    enc_.encode(&shown_[(size_t)r.y0 * w_ + r.x0], w_, r.x1 - r.x0, r.y1 - r.y0, frame_);
    x_ = r.x0, y_ = r.y0, start_ = start_ms;
    waiting_ = true;
    return true;
}

int anmf_writer::finish(int end_ms, const char *path, msglist &msgs, cancel_token *tok)
{
    if (waiting_ && !push(end_ms - start_, msgs))
        return 0;
    waiting_ = false;
    WebPMuxAnimParams anim = {0xffffffffu, 0}; // white behind, loops forever
    WebPData data;
    WebPDataInit(&data);
    if (!mux_ || WebPMuxSetCanvasSize(mux_of(mux_), w_, h_) != WEBP_MUX_OK ||
        WebPMuxSetAnimationParams(mux_of(mux_), &anim) != WEBP_MUX_OK ||
        WebPMuxAssemble(mux_of(mux_), &data) != WEBP_MUX_OK) {
        msgs.add("cannot make the WebP animation");
        WebPDataClear(&data);
        return 0;
    }
    const int rc = write_file_safely(path, data.bytes, data.size, msgs, tok);
    WebPDataClear(&data);
    return rc;
}
