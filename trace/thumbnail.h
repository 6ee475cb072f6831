// thumbnail.h - a scene drawn small, for a file manager's icon or a
// chooser of templates, within a bound of work and time whatever the scene
// asks for.
//
//   thumb_options o;            // size 128, 3 seconds, 20 million rays
//   o.size = 256;
//   picture pic;
//   std::string why;
//   int rc = make_thumbnail(sc, o, pic, why);
//   THUMB_FULL    pic is the scene's picture at the thumbnail's size, the
//                 very dots render_job makes at that size (and at most
//                 THUMB_DEPTH deep)
//   THUMB_SMALL   the scene would cost more: pic was traced smaller and
//                 enlarged dot by dot to the thumbnail's size
//   THUMB_NONE    no picture; why says why in a phrase ("it takes too long
//                 to draw", "the look direction ...")
//
// The thumbnail keeps the scene's proportions (WIDTH_MAX x HEIGHT_MAX at
// most, as a render clamps the size; 4 : 3 for a size of no dots), its
// longer side o.size dots, within WIDTH_MAX x HEIGHT_MAX. With o.stereo it
// is the crossed pair Make 3D Image makes, both halves.
//
// The work is bounded in three ways. Rays are followed at most THUMB_DEPTH
// reflections deep (a deeper scene is drawn as at that depth: further
// levels change next to nothing at this size, and each holds stack). A
// probe, the thumbnail traced at about PROBE_SIDE dots on its longer side,
// counts the rays the scene needs per dot; the thumbnail is then traced at
// the largest size whose estimate stays within o.rays (the full size for
// almost every scene; never below the probe's). And every render stops at
// the deadline, o.seconds after the call (or when the caller's o.cancel is
// set): a stopped render leaves the probe as the picture, and a stopped
// probe leaves none. So a scene of a hundred glass balls thirty levels deep
// is refused within the deadline and never hangs, and memory stays at a
// few pictures of at most o.size dots.
#pragma once

#include "../image/rgb.h"
#include "../scene/scene.h"

#include <atomic>
#include <string>

enum { THUMB_FULL = 0, THUMB_SMALL = 1, THUMB_NONE = 2 };

constexpr int THUMB_MAX = WIDTH_MAX; // the largest o.size
constexpr int PROBE_SIDE = 32;
constexpr int THUMB_DEPTH = 32;
constexpr int THUMB_THREADS = 4; // at most, by default: file managers run several at once

struct thumb_options {
    int size = 128;                            // 1..THUMB_MAX: the thumbnail's longer side
    int stereo = 0;                            // nonzero: a crossed stereo pair
    int aa = 1;                                // anti-aliasing, as render_options::aa
    double seconds = 3;                        // the deadline for all of it; 0 or less: none
    long long rays = 20'000'000;               // rays (primary, secondary, shadow) to spend at most
    int threads = 0;                           // 0: up to THUMB_THREADS
    const std::atomic<bool> *cancel = nullptr; // the caller's own stop flag, or null
};

// The size make_thumbnail gives sc's picture: w x h.
void thumb_size(const scene &sc, const thumb_options &o, int &w, int &h);

int make_thumbnail(const scene &sc, const thumb_options &o, picture &pic, std::string &why);
