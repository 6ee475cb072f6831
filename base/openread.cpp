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
