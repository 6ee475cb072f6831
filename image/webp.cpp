#include "webp.h"

#include "../base/cancel.h"
#include "../base/msg.h"
#include "../base/openread.h"
#include "../base/sizes.h"
#include "animlimit.h"
#include "anmf.h"
#include "safewrite.h"

#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

WebPAnimDecoder *decoder(void *p) { return static_cast<WebPAnimDecoder *>(p); }

// the smallest files: libwebp's lossless encoder at its own default,
// both ways of disposing of a frame tried
constexpr int SMALL_METHOD = 4;
constexpr float SMALL_QUALITY = 75;

// our own encoder's settings at the fast efforts
vp8l_options own_options(int effort)
{
    vp8l_options o;
    o.choose = effort == EFFORT_NORMAL;
    o.cache_bits = effort == EFFORT_NORMAL ? 10 : 8;
    return o;
}

// The time frame i starts, when a WebP file can hold it.
bool frame_time(long long i, double fps, int &ms)
{
    const long long t = anim_ms(i, fps);
    if (t < 0 || t > INT_MAX)
        return false;
    ms = (int)t;
    return true;
}

// The picture as libwebp's opaque ARGB dots.
void fill_argb(const picture &pic, WebPPicture &frame)
{
    for (int y = 0; y < pic.h; y++) {
        uint32_t *row = frame.argb + (size_t)y * frame.argb_stride;
        const size_t at = (size_t)y * pic.w;
        for (int x = 0; x < pic.w; x++)
            row[x] = 0xff000000u | (uint32_t)pic.r[at + x] << 16 | (uint32_t)pic.g[at + x] << 8 |
                     pic.b[at + x];
    }
}

} // namespace

long long anim_ms(long long i, double fps) { return std::llround((double)i * 1000 / fps); }

struct webp_anim::encoder {
    WebPAnimEncoder *anim = nullptr;  // EFFORT_SMALL: libwebp's
    std::unique_ptr<anmf_writer> own; // the other efforts: our own
    WebPConfig config;
    WebPPicture frame; // the frame buffer, filled from each picture
    ~encoder()
    {
        WebPAnimEncoderDelete(anim);
        WebPPictureFree(&frame);
    }
};

webp_anim::webp_anim(double fps, int effort)
    : fps_(fps), effort_(effort < EFFORT_FAST || effort > EFFORT_SMALL ? EFFORT_NORMAL : effort)
{
}

webp_anim::~webp_anim() = default;

bool webp_anim::start(int w, int h, msglist &msgs)
{
    auto e = std::make_unique<encoder>();
    WebPAnimEncoderOptions opt;
    if (!WebPAnimEncoderOptionsInit(&opt) || !WebPConfigInit(&e->config) ||
        !WebPPictureInit(&e->frame)) {
        msgs.add("cannot make a WebP animation: libwebp is not the version KORU was built with");
        return false;
    }
    opt.anim_params.loop_count = 0; // forever
    opt.minimize_size = 1;
    e->config.lossless = 1;
    e->config.method = SMALL_METHOD;
    e->config.quality = SMALL_QUALITY;
    e->frame.use_argb = 1;
    e->frame.width = w, e->frame.height = h;
    if (effort_ == EFFORT_SMALL)
        e->anim = WebPAnimEncoderNew(w, h, &opt);
    else
        e->own = std::make_unique<anmf_writer>(w, h, own_options(effort_));
    if (!(e->anim || e->own) || !WebPPictureAlloc(&e->frame)) {
        msgs.add("cannot make a WebP animation of %d x %d dots", w, h);
        return false;
    }
    enc_ = std::move(e);
    w_ = w, h_ = h;
    return true;
}

int webp_anim::add(const picture &pic, msglist &msgs)
{
    if (!enc_ && !start(pic.w, pic.h, msgs))
        return 0;
    if (pic.w != w_ || pic.h != h_) {
        msgs.add("frame %d is %d x %d dots; the animation's frames are %d x %d", count_ + 1, pic.w,
                 pic.h, w_, h_);
        return 0;
    }
    int ms;
    if (!frame_time(count_, fps_, ms)) {
        msgs.add("frame %d starts too late for a WebP file's clock", count_ + 1);
        return 0;
    }
    fill_argb(pic, enc_->frame);
    if (enc_->own) {
        if (!enc_->own->add(enc_->frame.argb, ms, msgs))
            return 0;
    } else if (!WebPAnimEncoderAdd(enc_->anim, &enc_->frame, ms, &enc_->config)) {
        msgs.add("cannot encode frame %d as WebP: %s", count_ + 1,
                 WebPAnimEncoderGetError(enc_->anim));
        return 0;
    }
    count_++;
    return 1;
}

int webp_anim::finish(const char *path, msglist &msgs, cancel_token *tok)
{
    if (tok && tok->cancelled())
        return 0;
    if (!enc_) {
        msgs.add("\"%s\": an animation without frames is not written", path);
        return 0;
    }
    int end;
    if (!frame_time(count_, fps_, end)) {
        msgs.add("the animation ends too late for a WebP file's clock");
        return 0;
    }
    if (enc_->own)
        return enc_->own->finish(end, path, msgs, tok);
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(enc_->anim, nullptr, end, nullptr) ||
        !WebPAnimEncoderAssemble(enc_->anim, &data)) {
        msgs.add("cannot make the WebP animation: %s", WebPAnimEncoderGetError(enc_->anim));
        WebPDataClear(&data);
        return 0;
    }
    const int rc = write_file_safely(path, data.bytes, data.size, msgs, tok);
    WebPDataClear(&data);
    return rc;
}

webp_frames::~webp_frames() { WebPAnimDecoderDelete(decoder(dec_)); }

namespace {

// The frames a WebP file holds, as its chunks say: one for a still
// picture, one for each ANMF chunk of an animation; counted no further
// than stop, and without reading the frames.
long long frames_in(const std::string &data, long long stop)
{
    constexpr size_t RIFF_HEAD = 12, CHUNK_HEAD = 8;
    long long n = 0;
    for (size_t at = RIFF_HEAD; at + CHUNK_HEAD <= data.size() && n < stop;) {
        const unsigned char *c = (const unsigned char *)&data[at];
        const size_t len =
            (size_t)c[4] | (size_t)c[5] << 8 | (size_t)c[6] << 16 | (size_t)c[7] << 24;
        n += std::memcmp(c, "ANMF", 4) == 0;
        if (len > data.size() - at - CHUNK_HEAD)
            break;
        at += CHUNK_HEAD + len + (len & 1);
    }
    return n > 0 ? n : 1;
}

} // namespace

int webp_frames::open(const char *path, msglist &msgs)
{
    WebPAnimDecoderDelete(decoder(dec_));
    dec_ = nullptr;
    w_ = h_ = count_ = loops_ = 0;
    if (!read_whole(path, ANIM_FILE_MAX, "WebP file", data_, msgs))
        return 0;

    // the canvas and the number of frames, checked before libwebp makes room
    // for them
    int w = 0, h = 0;
    const uint8_t *bytes = (const uint8_t *)data_.data();
    if (!WebPGetInfo(bytes, data_.size(), &w, &h)) {
        msgs.add("\"%s\" is no WebP file libwebp reads", path);
        return 0;
    }
    if (!anim_within(path, frames_in(data_, anim_frames_max(w, h) + 1), w, h, true, msgs))
        return 0;

    WebPAnimDecoderOptions opt;
    WebPAnimInfo info;
    WebPData in{bytes, data_.size()};
    if (WebPAnimDecoderOptionsInit(&opt)) {
        opt.color_mode = MODE_RGBA;
        dec_ = WebPAnimDecoderNew(&in, &opt);
    }
    if (!dec_ || !WebPAnimDecoderGetInfo(decoder(dec_), &info) || (int)info.canvas_width != w ||
        (int)info.canvas_height != h) {
        msgs.add("\"%s\" is no WebP file libwebp reads", path);
        return 0;
    }
    w_ = w, h_ = h;
    count_ = (int)info.frame_count, loops_ = (int)info.loop_count;
    return 1;
}

bool webp_frames::next(picture &pic, int &end_ms, msglist &msgs)
{
    uint8_t *rgba;
    if (!dec_ || !WebPAnimDecoderHasMoreFrames(decoder(dec_)))
        return false;
    if (!WebPAnimDecoderGetNext(decoder(dec_), &rgba, &end_ms)) {
        msgs.add("a frame of the WebP file is damaged");
        return false;
    }
    pic.resize(w_, h_);
    for (size_t i = 0, n = (size_t)w_ * h_; i < n; i++) {
        pic.r[i] = rgba[4 * i];
        pic.g[i] = rgba[4 * i + 1];
        pic.b[i] = rgba[4 * i + 2];
    }
    return true;
}

void webp_frames::rewind()
{
    if (dec_)
        WebPAnimDecoderReset(decoder(dec_));
}
