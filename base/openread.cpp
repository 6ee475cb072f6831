#include "openread.h"

#include "msg.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

std::FILE *open_to_read(const char *path, msglist &msgs)
{
    struct stat st;
    std::FILE *f = nullptr;
    const char *why = "it is a directory";
    if (stat(path, &st) != 0)
        why = std::strerror(errno);
    else if (!S_ISDIR(st.st_mode) && !(f = std::fopen(path, "rb")))
        why = std::strerror(errno);
    if (!f)
        msgs.add("cannot open \"%s\": %s", path, why);
    return f;
}

namespace {

void too_big(msglist &msgs, const char *path, const char *what, long long size, long long most)
{
    if (size > 0)
        msgs.add("\"%s\" is refused: a %s of %lld bytes, more than the %lld MB KORU reads", path,
                 what, size, most >> 20);
    else
        msgs.add("\"%s\" is refused: a %s of more than the %lld MB KORU reads", path, what,
                 most >> 20);
}

} // namespace

std::FILE *open_within(const char *path, long long most, const char *what, msglist &msgs,
                       bool *refused)
{
    if (refused)
        *refused = false;
    std::FILE *f = open_to_read(path, msgs);
    struct stat st;
    if (f && fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > most) {
        std::fclose(f);
        too_big(msgs, path, what, (long long)st.st_size, most);
        if (refused)
            *refused = true;
        return nullptr;
    }
    return f;
}

bool read_whole(const char *path, long long most, const char *what, std::string &text,
                msglist &msgs)
{
    text.clear();
    std::FILE *f = open_within(path, most, what, msgs);
    if (!f)
        return false;
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode))
        text.reserve((size_t)st.st_size); // within most: open_within saw to it
    char buf[1 << 16];
    size_t n;
    bool big = false;
    while (!big && (n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        big = (long long)(text.size() + n) > most;
        if (!big)
            text.append(buf, n);
    }
    const bool bad = std::ferror(f);
    std::fclose(f);
    if (big)
        too_big(msgs, path, what, 0, most);
    else if (bad)
        msgs.add("cannot read \"%s\": %s", path, std::strerror(EIO));
    return !big && !bad;
}
