// anim_play.h - playing an animation from its file, without the toolkit:
// its frames one at a time, and which of them is due when.
//
//   anim_frames fr;
//   fr.open("turn.webp", fps, n, msgs);  // a WebP, a GIF, numbered pictures
//   fr.get(k, pic, msgs);                // frame k, 0..n-1
//
// anim_frames reads frame k on demand: numbered pictures straight from
// their files, a WebP or GIF from its decoder, which goes back to the
// start for a frame behind the last one it read. A WebP frame stands for
// every frame that starts within its time (its encoder merges a frame the
// same as the one before into it). The frames read are kept
// while they fit a budget (CACHE_BYTES unless told; the frame used least
// recently goes first), so a short animation is read once and a long one
// plays from its file in bounded memory.
//
//   anim_play p;                  // n frames at fps, frame 0, paused
//   play_start(p, now);           // plays on from the frame shown
//   long long due = play_tick(p, now);  // p.k is the frame due now; the
//                                       // next one is due at due
// Times are milliseconds of any steady clock. Frame k starts anim_ms(k,
// fps) into the animation (image/webp.h) and the animation loops, as its
// file does. play_tick shows the frame due whatever the time, so a slow
// frame makes the player skip, not lag. play_seek shows frame k (the
// slider, the step keys); playing goes on from it.
//
// The player shows each frame through the window's display conversion at
// the window's zoom and mode (display_state.h), diffused from the
// start-up state for every frame, as a GIF's frames are: a frame looks
// the same however it was reached.
#pragma once

#include "image/animfile.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>

class anim_frames {
public:
    static constexpr size_t CACHE_BYTES = 64u << 20;
    explicit anim_frames(size_t budget = CACHE_BYTES) : budget_(budget) {}

    // 1 when name can be played; 0 with the reason in msgs. n: the frames
    // (numbered pictures 0..n-1).
    int open(const std::string &name, double fps, int n, msglist &msgs);
    int count() const { return n_; }
    // Frame k into pic; false, with the reason in msgs, when it cannot be
    // read.
    bool get(int k, picture &pic, msglist &msgs);
    size_t kept_bytes() const { return bytes_; }
    int decoded() const { return decoded_; } // frames read from the file so far

private:
    bool read(int k, picture &pic, msglist &msgs);
    int started_before(long long ms) const;
    void keep(int k, const picture &pic);

    std::string name_;
    int kind_ = ANIM_BADNAME;
    double fps_ = FPS_DEFAULT;
    int n_ = 0;
    anim_reader in_;
    picture last_;       // the picture in_ gave last: frames last_first_..covered_-1
    int last_first_ = 0; // (a WebP merges a frame the same as the one before)
    int covered_ = 0;
    std::unique_ptr<planes> planes_;
    struct kept {
        picture pic;
        unsigned long long used;
    };
    std::map<int, kept> cache_;
    size_t bytes_ = 0, budget_;
    unsigned long long clock_ = 0;
    int decoded_ = 0;
};

struct anim_play {
    int n = 1;
    double fps = FPS_DEFAULT;
    int k = 0; // the frame shown
    bool playing = false;
    long long origin = 0; // while playing: when frame 0 started
};

void play_start(anim_play &p, long long now);
void play_pause(anim_play &p);
void play_seek(anim_play &p, int k, long long now);
// Sets p.k to the frame due at now and returns when the next one is due;
// -1, with p.k as it was, while paused.
long long play_tick(anim_play &p, long long now);

// Whether the player stays open while command id runs: those that
// neither make, load, save nor print the window's picture. Others close
// it first, so that they work on what the window shows.
bool anim_player_stays(int id);
