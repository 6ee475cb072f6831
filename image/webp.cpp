#include "webp.h"

#include "../base/cancel.h"
#include "../base/msg.h"
#include "../base/openread.h"
#include "../base/sizes.h"
#include "animlimit.h"
#include "safewrite.h"

#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

WebPAnimEncoder *encoder(void *p) { return static_cast<WebPAnimEncoder *>(p); }
WebPAnimDecoder *decoder(void *p) { return static_cast<WebPAnimDecoder *>(p); }

// The time frame i starts, when a WebP file can hold it.
bool frame_time(long long i, double fps, int &ms)
{
    const long long t = anim_ms(i, fps);
    if (t < 0 || t > INT_MAX)
        return false;
    ms = (int)t;
    return true;
}

} // namespace

long long anim_ms(long long i, double fps) { return std::llround((double)i * 1000 / fps); }

webp_anim::~webp_anim() { WebPAnimEncoderDelete(encoder(enc_)); }

int webp_anim::add(const picture &pic, msglist &msgs)
{
    if (!enc_) {
        WebPAnimEncoderOptions opt;
        if (!WebPAnimEncoderOptionsInit(&opt)) {
            msgs.add(
                "cannot make a WebP animation: libwebp is not the version KORU was built with");
            return 0;
        }
        opt.anim_params.loop_count = 0; // forever
        enc_ = WebPAnimEncoderNew(pic.w, pic.h, &opt);
        if (!enc_) {
            msgs.add("cannot make a WebP animation of %d x %d dots", pic.w, pic.h);
            return 0;
        }
        w_ = pic.w, h_ = pic.h;
    }
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

    // The frame as interleaved RGB, encoded losslessly
    std::vector<uint8_t> rgb((size_t)w_ * h_ * 3);
    for (size_t i = 0, n = (size_t)w_ * h_; i < n; i++) {
        rgb[3 * i] = pic.r[i];
        rgb[3 * i + 1] = pic.g[i];
        rgb[3 * i + 2] = pic.b[i];
    }
    WebPConfig config;
    WebPPicture frame;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&frame)) {
        msgs.add("cannot encode a WebP frame: libwebp is not the version KORU was built with");
        return 0;
    }
    config.lossless = 1;
    frame.use_argb = 1;
    frame.width = w_, frame.height = h_;
    int ok = WebPPictureImportRGB(&frame, rgb.data(), w_ * 3);
    ok = ok && WebPAnimEncoderAdd(encoder(enc_), &frame, ms, &config);
    WebPPictureFree(&frame);
    if (!ok) {
        msgs.add("cannot encode frame %d as WebP: %s", count_ + 1,
                 WebPAnimEncoderGetError(encoder(enc_)));
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
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(encoder(enc_), nullptr, end, nullptr) ||
        !WebPAnimEncoderAssemble(encoder(enc_), &data)) {
        msgs.add("cannot make the WebP animation: %s", WebPAnimEncoderGetError(encoder(enc_)));
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
