// gif.h - animated GIF files, through giflib.
//
//   gif_anim out("turn.gif", fps);
//   out.add(pic, msgs) ...       // each frame written as it comes
//   out.finish(msgs);            // the file appears, whole, only now
//
// Each frame is what KORU's window shows of its picture in the 256-colour
// mode at 100 % (display.h: show_dots in mode 1), diffused from the
// start-up state for every frame, and the file's one colour table is the
// cube palette (reduce.h), so a frame's dots are the palette entries the
// window shows. Every frame is stored whole; frame i starts at
// round(i * 100 / fps) hundredths of a second (the unit GIF counts in), and
// the animation loops forever (the NETSCAPE2.0 extension).
//
// Frames go out to the file as they are added, so memory holds one frame
// whatever their number; the file is written as safe_file writes
// (safewrite.h): nothing is left behind when it is not finished, and an
// existing file stays as it was until finish() replaces it.
//
// gif_frames reads a GIF file back: the picture shown after each frame,
// as RGB, with the time it ends.
#pragma once

#include "rgb.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct msglist;
class cancel_token;
struct diffusion;
struct dotgrid;

// When frame i of an animation at fps frames a second starts, in
// hundredths of a second: round(i * 100 / fps), halves away from zero.
long long anim_cs(long long i, double fps);

class gif_anim {
public:
    gif_anim(const char *path, double fps);
    ~gif_anim(); // without finish(): nothing is written
    gif_anim(const gif_anim &) = delete;
    gif_anim &operator=(const gif_anim &) = delete;

    // 1 when the frame was written; 0 with the reason in msgs.
    int add(const picture &pic, msglist &msgs);
    // 1 when the file is in place; 0 with the reason in msgs.
    // A token (cancel.h) cancelled before the file is in place: 0, nothing
    // written, nothing in msgs.
    int finish(msglist &msgs, cancel_token *tok = nullptr);
    int frames() const { return count_; }

    struct sink; // where giflib's bytes go

private:
    bool start(int w, int h, msglist &msgs);
    void drop();

    std::string path_;
    double fps_;
    void *gif_ = nullptr; // GifFileType
    std::unique_ptr<sink> out_;
    std::unique_ptr<planes> planes_;
    std::unique_ptr<dotgrid> grid_;
    std::unique_ptr<diffusion> diff_;
    std::vector<unsigned char> line_;
    int w_ = 0, h_ = 0, count_ = 0;
};

// A GIF file read back, frame by frame: each frame drawn over the one
// before as its disposal says, transparency and interlacing followed. A
// file beyond ANIM_FILE_MAX bytes or a canvas beyond WIDTH_MAX x HEIGHT_MAX
// is refused when opened, a frame beyond the most an animation file holds
// (animlimit.h) when it comes.
class gif_frames {
public:
    gif_frames() = default;
    ~gif_frames();
    gif_frames(const gif_frames &) = delete;
    gif_frames &operator=(const gif_frames &) = delete;

    // 1 when path begins as a GIF file; 0 with the reason in msgs.
    int open(const char *path, msglist &msgs);
    int width() const { return w_; }
    int height() const { return h_; }
    // The loop count of the NETSCAPE2.0 extension (0: forever), once the
    // first frame is read; -1 when the file has none (play once).
    int loops() const { return loops_; }
    // The next frame into pic, and the time it ends in ms; false at the
    // end or on damage (then with a line in msgs).
    bool next(picture &pic, int &end_ms, msglist &msgs);
    // Back to the first frame; false when the file cannot be opened again.
    bool rewind(msglist &msgs);

private:
    bool image(msglist &msgs);
    void close();

    std::string path_;
    void *gif_ = nullptr; // GifFileType
    int w_ = 0, h_ = 0, loops_ = -1;
    long long end_cs_ = 0;
    long long frames_ = 0, frames_max_ = 0;          // frames read, and the most the file may have
    int delay_ = 0, dispose_ = 0, transparent_ = -1; // the coming frame's control block
    std::vector<uint32_t> canvas_, saved_;           // 0xRRGGBB
    uint32_t background_ = 0; // the canvas's first colour, and a disposed frame's
    int last_dispose_ = 0, lx_ = 0, ly_ = 0, lw_ = 0, lh_ = 0; // the frame before
};
