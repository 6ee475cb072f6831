// animfile.h - where an animation's frames go, told by the name, and how
// they are read back.
//
//   "turn.webp"                 an animated lossless WebP (webp.h)
//   "turn.gif"                  an animated GIF of the window's 256-colour
//                               display (gif.h)
//   "frame_%04d.png", ".bmp"    one picture per frame (picfile.h: PNG for
//                               .png, BMP otherwise), numbered by a
//                               printf-style field: frame k is the name
//                               with k in the field
//   any other name              one picture: an animation of one frame
// The endings .webp and .gif count in any case. A frame field is one %d
// with an optional 0 flag and width (%d, %4d, %04d; width 1 to 9); %%
// stands for a percent sign; a name with any other % is no name here.
//
//   anim_writer out(name, fps, effort);
//   out.add(k, pic, msgs) ...   // frame k: a WebP or GIF encodes it, a
//                               // numbered name writes its picture now
//   out.finish(msgs);           // a WebP or GIF file is written now
// The effort (effort.h) is the WebP file's and the numbered PNG pictures'
// (a single picture is saved as koru-cli render saves it).
// Each picture file and the animation file is written safely (safewrite.h):
// an anim_writer that is not finished leaves nothing but the numbered
// pictures already written, each whole.
//
//   anim_reader in;
//   in.open(name, fps, msgs);   // a WebP, a GIF, numbered pictures (fps
//                               // times them) or one picture
//   while (in.next(pic, end_ms, msgs)) ...
//   in.rewind(msgs);
// A reader holds one frame at a time (and the file's encoded bytes for a
// WebP), so an animation of any length plays in bounded memory.
//
// One WebP or GIF file holds frames of 1 x 1 to WIDTH_MAX x HEIGHT_MAX
// dots, at most ANIM_FRAMES_MAX of them and ANIM_DOTS_MAX dots in all
// (sizes.h, animlimit.h): anim_fits says beforehand whether a run of
// frames fits, the writer refuses the frame that would go beyond, and the
// readers refuse a file that does.
#pragma once

#include "gif.h"
#include "rgb.h"
#include "webp.h"

#include <memory>
#include <string>
#include <vector>

struct msglist;
class cancel_token;

// An animation's frames a second: its bounds and default.
constexpr double FPS_MIN = 0.1, FPS_MAX = 100, FPS_DEFAULT = 24;

enum { ANIM_WEBP, ANIM_GIF, ANIM_NUMBERED, ANIM_SINGLE, ANIM_BADNAME };

// What a name asks for; ANIM_BADNAME for a % that is no frame field, or
// more than one field.
int anim_kind(const char *name);

// The name of frame k for a numbered name; false when name has no frame
// field (or a bad one).
bool frame_name(const char *name, long long k, std::string &out);

// The numbers of the frames of a numbered name that exist, in order: the
// files of its folder whose names it makes. false, with the reason in msgs,
// when the folder cannot be read or the field stands in the folder's part.
bool frame_numbers(const char *name, std::vector<long long> &nums, msglist &msgs);

// One picture file (BMP or PNG) as a frame; buf, made on first use, is
// kept for the next. false with the reason in msgs.
bool load_frame(const std::string &file, std::unique_ptr<planes> &buf, picture &pic, msglist &msgs);

// Whether frames frames of w x h dots can be written to name: always for
// numbered pictures and a single picture; false with one line in msgs.
bool anim_fits(const char *name, long long frames, int w, int h, msglist &msgs);

class anim_writer {
public:
    anim_writer(const char *name, double fps, int effort = EFFORT_NORMAL);
    anim_writer(const anim_writer &) = delete;
    anim_writer &operator=(const anim_writer &) = delete;

    int kind() const { return kind_; }
    // 1 when frame k is taken; 0 with the reason in msgs.
    int add(long long k, const picture &pic, msglist &msgs);
    // 1 when everything is written; 0 with the reason in msgs. A token
    // (cancel.h) cancelled before a WebP or GIF file is in place: 0,
    // nothing written, nothing in msgs. (Numbered pictures are written by
    // add(), each as it comes.)
    int finish(msglist &msgs, cancel_token *tok = nullptr);

private:
    std::string name_;
    int kind_, effort_;
    int count_ = 0;
    std::unique_ptr<webp_anim> webp_;
    std::unique_ptr<gif_anim> gif_;
};

class anim_reader {
public:
    anim_reader();
    ~anim_reader();
    anim_reader(const anim_reader &) = delete;
    anim_reader &operator=(const anim_reader &) = delete;

    // 1 when name can be read; 0 with the reason in msgs. fps times
    // numbered pictures and a single picture.
    int open(const char *name, double fps, msglist &msgs);
    int kind() const { return kind_; }
    // The canvas of a WebP or GIF file; 0 for pictures, whose sizes are
    // their own.
    int width() const;
    int height() const;
    // The loop count (0: forever; -1: play once); 0 for numbered pictures.
    int loops() const;
    // The next frame into pic, and when it ends in ms from the start;
    // false at the end, or on damage with a line in msgs.
    bool next(picture &pic, int &end_ms, msglist &msgs);
    bool rewind(msglist &msgs);

private:
    std::string name_;
    int kind_ = ANIM_BADNAME;
    double fps_ = 1;
    std::vector<long long> nums_; // numbered pictures
    size_t at_ = 0;               // the next of them, or of a single picture
    std::unique_ptr<webp_frames> webp_;
    std::unique_ptr<gif_frames> gif_;
    std::unique_ptr<planes> planes_;
};
