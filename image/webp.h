// webp.h - animated lossless WebP files: written by KORU's own lossless
// encoder (vp8l.h, anmf.h) or by libwebp's animation encoder, read by
// libwebp's decoder (libwebpdemux).
//
//   webp_anim out(fps, effort);
//   out.add(pic, msgs) ...           // each frame encoded as it comes
//   out.finish("turn.webp", msgs);   // the file, written safely
//
// Frames are w x h pictures of one size, the first one's; frame i starts
// at anim_ms(i, fps) and lasts until the next one starts (the last, as
// long as the others on average). The animation loops forever. Encoding is
// lossless, so every frame decodes to its picture dot for dot; the encoder
// may store only the part of a frame that changed, and merges a frame the
// same as the one before into it (a longer frame). Only the encoded frames
// are kept in memory, never the pictures: about the file's size, which
// grows with the frames until finish() writes it.
//
// The effort (effort.h) chooses the encoder (the dots are the same at
// every effort):
//   EFFORT_FAST     our own encoder: the rectangle that changed, green
//                   subtracted, the gradient predictor, runs, a colour
//                   cache of 256, one set of codes
//   EFFORT_NORMAL   the same, each 32 x 32 tile's predictor chosen and a
//                   colour cache of 1024 (the default); about 1 ms a
//                   320 x 240 frame on one core, where libwebp's fastest
//                   lossless setting takes about 5
//   EFFORT_SMALL    libwebp's animation encoder at its default (method 4,
//                   quality 75), both ways of disposing of the frame before
//                   tried for each frame, the smaller kept; 4.5 to 13 times
//                   the tracing's time
// On the samples' 48-frame turntables at 320 x 240, normal's files are
// 1.12 to 1.25 times as large as small's, fast's 1.16 to 1.29 times
// normal's.
//
// webp_frames reads such a file (any animated or still WebP) back: the
// canvas after each frame, as RGB, with the time it ends.
#pragma once

#include "effort.h"
#include "rgb.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct msglist;
class cancel_token;

// When frame i of an animation at fps frames a second starts, in
// milliseconds: round(i * 1000 / fps), halves away from zero.
long long anim_ms(long long i, double fps);

class webp_anim {
public:
    explicit webp_anim(double fps, int effort = EFFORT_NORMAL);
    ~webp_anim();
    webp_anim(const webp_anim &) = delete;
    webp_anim &operator=(const webp_anim &) = delete;

    // 1 when the frame was encoded; 0 with the reason in msgs.
    int add(const picture &pic, msglist &msgs);
    // Writes the animation of the frames added to path; 1 on success, 0
    // with the reason in msgs (an existing file then stays as it was).
    // A token (cancel.h) cancelled before the file is in place: 0, nothing
    // written, nothing in msgs.
    int finish(const char *path, msglist &msgs, cancel_token *tok = nullptr);
    int frames() const { return count_; }

private:
    struct encoder; // the encoder, its settings and the frame buffer
    bool start(int w, int h, msglist &msgs);

    double fps_;
    int effort_;
    std::unique_ptr<encoder> enc_;
    int w_ = 0, h_ = 0, count_ = 0;
};

// A WebP file read back, frame by frame.
class webp_frames {
public:
    webp_frames() = default;
    ~webp_frames();
    webp_frames(const webp_frames &) = delete;
    webp_frames &operator=(const webp_frames &) = delete;

    // 1 when path holds a WebP file libwebp reads; 0 with the reason in msgs.
    int open(const char *path, msglist &msgs);
    int width() const { return w_; }
    int height() const { return h_; }
    int count() const { return count_; } // frames stored
    int loops() const { return loops_; } // 0: forever
    // The next frame into pic, and the time it ends in ms; false at the
    // end or on damage (then with a line in msgs).
    bool next(picture &pic, int &end_ms, msglist &msgs);
    void rewind();

private:
    std::string data_;    // the file's bytes
    void *dec_ = nullptr; // WebPAnimDecoder
    int w_ = 0, h_ = 0, count_ = 0, loops_ = 0;
};
