// anmf.h - an animated lossless WebP file made of our own encoder's
// frames (vp8l.h), put together by libwebpmux: the fast efforts' way
// (webp.h).
//
//   anmf_writer out(w, h, options);
//   out.add(argb, start_ms, msgs) ...    // each frame as it comes
//   out.finish(end_ms, path, msgs, tok); // the file, written safely
//
// Each frame stores only the rectangle of dots that differ from the frame
// before (the whole picture for the first), its left and top edges moved
// to even columns and rows as the file's frames must stand; it is drawn
// over what is shown, nothing cleared, no blending, so the canvas after
// it is exactly its picture. A frame the same as the one before is not
// stored: the one before lasts longer. A frame lasts until the next one
// starts, the last until end_ms; a frame longer than a WebP frame may
// last (about 4.6 hours) is stored again for the rest. The animation
// loops forever.
#pragma once

#include "vp8l.h"

#include <cstdint>
#include <vector>

struct msglist;
class cancel_token;

class anmf_writer {
public:
    anmf_writer(int w, int h, vp8l_options opt);
    ~anmf_writer();
    anmf_writer(const anmf_writer &) = delete;
    anmf_writer &operator=(const anmf_writer &) = delete;

    // w x h opaque dots (0xAARRGGBB, rows of w) starting at start_ms, after
    // the frame before; false with the reason in msgs.
    bool add(const uint32_t *argb, int start_ms, msglist &msgs);
    // 1 when the file is written; 0 with the reason in msgs, or cancelled
    // (then nothing in msgs), as write_file_safely (safewrite.h).
    int finish(int end_ms, const char *path, msglist &msgs, cancel_token *tok);

private:
    bool push(int duration, msglist &msgs);

    int w_, h_;
    vp8l_encoder enc_;
    void *mux_;                   // WebPMux
    std::vector<uint32_t> shown_; // the canvas after the last frame
    std::vector<uint8_t> frame_;  // the frame waiting for its duration
    int x_ = 0, y_ = 0, start_ = 0;
    bool waiting_ = false;
};
