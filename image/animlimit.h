// animlimit.h - the largest animation one WebP or GIF file holds here
// (sizes.h): frames of 1 x 1 to WIDTH_MAX x HEIGHT_MAX dots, at most
// ANIM_FRAMES_MAX of them and ANIM_DOTS_MAX dots in all. The writers
// refuse a frame beyond it, the readers a file that goes beyond it, each
// before it holds the memory; koru-cli and the window ask before they
// render a frame (animfile.h: anim_fits).
#pragma once

struct msglist;

// The most frames of w x h dots one file holds; 0 for a size no frame has.
long long anim_frames_max(int w, int h);

// Whether frames frames of w x h dots fit one file; false with one line
// about path in msgs: "\"PATH\" is refused: ..." when reading,
// "cannot write \"PATH\": ..." when not.
bool anim_within(const char *path, long long frames, int w, int h, bool reading, msglist &msgs);
