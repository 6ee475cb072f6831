// effort.h - how hard an encoder works to make its file small. Every
// effort stores the same dots: it changes the file's size and the time it
// takes, never a picture.
//
//   EFFORT_FAST     the least work, the largest files
//   EFFORT_NORMAL   an animation's default: fast's speed, files a little
//                   smaller
//   EFFORT_SMALL    the most work, the smallest files
//
// What each means for a WebP animation is in webp.h, for a PNG file in
// png.h; BMP and GIF files are the same at every effort.
#pragma once

#include <cstring>

enum { EFFORT_FAST, EFFORT_NORMAL, EFFORT_SMALL };

// The effort a name says ("fast", "normal", "small"); -1 for another name.
inline int effort_named(const char *name)
{
    const char *names[] = {"fast", "normal", "small"};
    for (int e = EFFORT_FAST; e <= EFFORT_SMALL; e++)
        if (!std::strcmp(name, names[e]))
            return e;
    return -1;
}
