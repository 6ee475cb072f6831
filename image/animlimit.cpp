#include "animlimit.h"

#include "../base/msg.h"
#include "../base/sizes.h"

#include <string>

long long anim_frames_max(int w, int h)
{
    if (w < 1 || h < 1 || w > WIDTH_MAX || h > HEIGHT_MAX)
        return 0;
    const long long by_dots = ANIM_DOTS_MAX / ((long long)w * h);
    return by_dots < ANIM_FRAMES_MAX ? by_dots : ANIM_FRAMES_MAX;
}

bool anim_within(const char *path, long long frames, int w, int h, bool reading, msglist &msgs)
{
    const long long most = anim_frames_max(w, h);
    if (most > 0 && frames <= most)
        return true;
    const std::string head = reading ? "\"" + std::string(path) + "\" is refused"
                                     : "cannot write \"" + std::string(path) + "\"";
    if (most == 0)
        msgs.add("%s: frames of %d x %d dots; an animation's frames are 1 x 1 to %d x %d",
                 head.c_str(), w, h, WIDTH_MAX, HEIGHT_MAX);
    else if (reading)
        msgs.add("%s: more than %lld frames of %d x %d dots, the most an animation file holds "
                 "(%d frames, %lld dots in all)",
                 head.c_str(), most, w, h, ANIM_FRAMES_MAX, ANIM_DOTS_MAX);
    else
        msgs.add("%s: %lld frames of %d x %d dots; an animation file holds at most %lld of that "
                 "size (%d frames, %lld dots in all)",
                 head.c_str(), frames, w, h, most, ANIM_FRAMES_MAX, ANIM_DOTS_MAX);
    return false;
}
