// anim_make.h - "Make Animation(M)...": the dialog (anim_form.h), the
// frames rendered into the output file, then the player.
//
// make_animation(s) does nothing without a scene (rt_ready), as Make Image.
// After the dialog the frames are rendered one after another as koru-cli
// animate renders them (trace/anim.h): frame k is byte for byte koru-cli's
// frame k of the same keys, turn, frame count, size and anti-aliasing.
// ui_port::run_anim runs them beside the window (a job: session.h) and
// shows the progress (frames, and the rows of the one being traced, which
// also appear over the picture) with Cancel; the window's other commands
// wait meanwhile (busy), and make_animation returns as the run starts. The file is written
// beside the window too, and Cancel wins at any moment before it is in
// place: then nothing is written and nothing plays. When the file is in
// place the player shows it (ui_port::play_anim). The window's
// picture, its flags and the save question are left alone: the animation
// is in its file.
//
// anim_output writes the frames as anim_writer does (image/animfile.h),
// but leaves nothing behind until finish() has put the output in place:
// a WebP or GIF file appears whole at the end, and pictures (numbered, or
// a single one) are written into a hidden folder beside their place and
// moved there, each by a rename, once all of them are written. discard(),
// or an output destroyed before it finished, removes what was written.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct msglist;
class cancel_token;
struct picture;
struct session;
class anim_writer;

void make_animation(session &s);

class anim_output {
public:
    anim_output(const std::string &name, double fps);
    ~anim_output();
    anim_output(const anim_output &) = delete;
    anim_output &operator=(const anim_output &) = delete;

    // 1 when frame k is taken; 0 with the reason in msgs.
    int add(long long k, const picture &pic, msglist &msgs);
    // 1 when the output is in place; 0 with the reason in msgs (what
    // could not be moved into place is removed). The token (cancel.h) is
    // committed just before the output goes into place: when it was
    // cancelled first, 0 with nothing in msgs, and nothing is left.
    int finish(msglist &msgs, cancel_token &tok);
    void discard();

private:
    bool start(msglist &msgs);

    std::string name_; // as given (its folder has no %)
    double fps_;
    int kind_;
    std::string temp_; // the hidden folder, while pictures are written
    std::unique_ptr<anim_writer> out_;
    std::vector<long long> written_; // the pictures in temp_
    bool done_ = false;
};
