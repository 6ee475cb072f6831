#include "app/studio/studio_follow.h"

bool studio_follow::typed(long long now)
{
    pending = true;
    changed_at = now;
    if (mode != FOLLOW_TYPING)
        return false; // the picture waits for the save
    picture = true;
    return true;
}

void studio_follow::edited(long long now)
{
    pending = true;
    changed_at = now;
}

void studio_follow::saved() { pending = picture = save_now = true; }

long long studio_follow::wait(long long now) const
{
    if (!pending)
        return -1;
    if (save_now)
        return 0;
    const long long due = changed_at + TYPE_REST_MS;
    return due > now ? due - now : 0;
}

int studio_follow::tick(long long now)
{
    if (wait(now) != 0)
        return READ_NONE;
    const int what = READ_CHECK | (picture ? READ_PICTURE : 0);
    pending = picture = save_now = false;
    return what;
}

void studio_follow::set_mode(int m)
{
    mode = m == FOLLOW_SAVE ? FOLLOW_SAVE : FOLLOW_TYPING;
    if (pending && !save_now)
        picture = mode == FOLLOW_TYPING;
}
