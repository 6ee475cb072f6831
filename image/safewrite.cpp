#include "safewrite.h"

#include "../scene/warn.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

long long safewrite_fail_after = -1;

namespace {

int write_all(int fd, const unsigned char *p, size_t n)
{
    size_t done = 0;
    while (done < n) {
        size_t chunk = n - done;
        if (safewrite_fail_after >= 0) {
            if ((long long)done >= safewrite_fail_after) {
                errno = ENOSPC;
                return 0;
            }
            if ((long long)(done + chunk) > safewrite_fail_after)
                chunk = (size_t)(safewrite_fail_after - (long long)done);
        }
        ssize_t w = ::write(fd, p + done, chunk);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return 0;
        }
        done += (size_t)w;
    }
    return 1;
}

int fail(const char *path, const char *what)
{
    warn("cannot write \"%s\": %s (%s)", path, std::strerror(errno), what);
    return 0;
}

} // namespace

int write_file_safely(const char *path, const unsigned char *data, size_t n)
{
    struct stat st;
    bool exists = stat(path, &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return fail(path, "it is a directory");
        }
        int fd = ::open(path, O_WRONLY | O_TRUNC);
        if (fd < 0)
            return fail(path, "open");
        int ok = write_all(fd, data, n);
        int e = errno;
        if (::close(fd) != 0 && ok) {
            ok = 0;
            e = errno;
        }
        errno = e;
        return ok ? 1 : fail(path, "write");
    }

    static std::atomic<unsigned> serial{0};
    char tmp[4200];
    int len = std::snprintf(tmp, sizeof tmp, "%s.koru-%ld-%u.tmp", path, (long)getpid(),
                            serial.fetch_add(1));
    if (len < 0 || len >= (int)sizeof tmp) {
        errno = ENAMETOOLONG;
        return fail(path, "name");
    }
    int fd = ::open(tmp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(path, "create");
    if (exists)
        (void)::fchmod(fd, st.st_mode & 07777); // the new file keeps the old one's permissions
    const char *step = "write";
    int ok = write_all(fd, data, n);
    int e = errno;
    if (::close(fd) != 0 && ok) {
        ok = 0;
        e = errno;
        step = "close";
    }
    if (ok && std::rename(tmp, path) != 0) {
        ok = 0;
        e = errno;
        step = "rename";
    }
    if (!ok) {
        ::unlink(tmp);
        errno = e;
        return fail(path, step);
    }
    return 1;
}
