#include "safewrite.h"

#include "../base/cancel.h"
#include "../base/msg.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char FAIL_AFTER_VAR[] = "KORU_FAIL_WRITES_AFTER";

// The test seam's byte count, or -1.
long long fail_after_bytes()
{
    const char *v = std::getenv(FAIL_AFTER_VAR);
    return v && *v ? std::atoll(v) : -1;
}

int write_all(int fd, const unsigned char *p, size_t n)
{
    size_t done = 0;
    while (done < n) {
        size_t chunk = n - done;
        const long long fail_after = fail_after_bytes();
        if (fail_after >= 0) {
            if ((long long)done >= fail_after) {
                errno = ENOSPC;
                return 0;
            }
            if ((long long)(done + chunk) > fail_after)
                chunk = (size_t)(fail_after - (long long)done);
        }
        ssize_t w = ::write(fd, p + done, chunk);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            if (w == 0)
                errno = EIO; // no progress: give up rather than spin
            return 0;
        }
        done += (size_t)w;
    }
    return 1;
}

// fsync, where a file system that cannot flush this kind of file (EINVAL:
// a pipe, some special file systems) counts as done.
int sync_fd(int fd)
{
    while (::fsync(fd) != 0) {
        if (errno == EINTR)
            continue;
        return errno == EINVAL || errno == ENOTSUP;
    }
    return 1;
}

int sync_dir(const std::string &dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    int ok = sync_fd(fd);
    int e = errno;
    ::close(fd);
    errno = e;
    return ok;
}

int fail(msglist &msgs, const char *path, const char *what)
{
    msgs.add("cannot write \"%s\": %s (%s)", path, std::strerror(errno), what);
    return 0;
}

// A target that exists and is no regular file (a device, a pipe) is
// written in place: there is nothing to rename over it.
int write_in_place(const char *path, const unsigned char *data, size_t n, msglist &msgs)
{
    int fd = ::open(path, O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return fail(msgs, path, "open");
    int ok = write_all(fd, data, n) && sync_fd(fd);
    int e = errno;
    if (::close(fd) != 0 && ok) {
        ok = 0;
        e = errno;
    }
    errno = e;
    return ok ? 1 : fail(msgs, path, "write");
}

// The directory part of path ("." for a bare name) and the last part.
void split(const std::string &path, std::string &dir, std::string &base)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        dir = ".";
        base = path;
    } else {
        dir = slash == 0 ? "/" : path.substr(0, slash);
        base = path.substr(slash + 1);
    }
}

// The name of a temporary file beside target in dir: the target's name
// cut short where a long one would exceed the limit of one name, then the
// process and the writer that owns it (no two writers alive at once share
// an address).
std::string temp_name(const std::string &dir, std::string base, const void *owner)
{
    char tail[64];
    std::snprintf(tail, sizeof tail, ".koru-%ld-%lu.tmp", (long)getpid(),
                  (unsigned long)(uintptr_t)owner);
    const size_t room = NAME_MAX - std::strlen(tail);
    if (base.size() > room)
        base.resize(room);
    return (dir == "/" ? "" : dir) + "/" + base + tail;
}

// path with a symbolic link replaced by the file it points to.
std::string resolve(const char *path)
{
    std::string target = path;
    struct stat st;
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char *real = realpath(path, nullptr)) {
            target = real;
            std::free(real);
        }
    }
    return target;
}

} // namespace

int write_file_safely(const char *path, const unsigned char *data, size_t n, msglist &msgs,
                      cancel_token *tok)
{
    if (tok && tok->cancelled())
        return 0;
    if (!*path) {
        errno = ENOENT;
        return fail(msgs, path, "no file name");
    }
    // Saving over a symbolic link replaces the file it points to and keeps
    // the link.
    std::string target = resolve(path);
    struct stat st;
    bool exists = stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return fail(msgs, path, "it is a directory");
    }
    if (exists && !S_ISREG(st.st_mode))
        return tok && !tok->commit() ? 0 : write_in_place(target.c_str(), data, n, msgs);
    // the bytes go to a new file beside the target, as a file written in
    // pieces does
    safe_file f;
    if (!f.begin(path))
        return fail(msgs, path, "create");
    f.write_at(0, data, n);
    return f.commit(msgs, tok);
}

bool safe_file::begin(const char *path)
{
    discard();
    if (!*path)
        return false;
    target_ = resolve(path);
    struct stat st;
    const bool exists = stat(target_.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return false;
    std::string base;
    split(target_, dir_, base);
    path_ = path;
    temp_.clear();
#ifdef O_TMPFILE
    // a file with no name, named at commit through /proc
    if (access("/proc/self/fd", X_OK) == 0)
        fd_ = ::open(dir_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#endif
    if (fd_ < 0) {
        temp_ = temp_name(dir_, base, this);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            temp_.clear();
            return false;
        }
    }
    if (exists) {
        // the old file's owner and mode where they can be kept (another
        // user's file stays this user's): failing changes nothing written
        if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
        }
        (void)::fchmod(fd_, st.st_mode & 07777);
    }
    error_ = 0;
    written_ = 0;
    return true;
}

bool safe_file::write_at(size_t at, const void *data, size_t n)
{
    if (fd_ < 0 || error_.load(std::memory_order_relaxed))
        return false;
    const unsigned char *p = (const unsigned char *)data;
    const long long fail_after = fail_after_bytes();
    if (fail_after >= 0 && written_.fetch_add((long long)n) + (long long)n > fail_after) {
        error_ = ENOSPC;
        return false;
    }
    size_t done = 0;
    while (done < n) {
        ssize_t w = ::pwrite(fd_, p + done, n - done, (off_t)(at + done));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            int e = w == 0 ? EIO : errno;
            int none = 0;
            error_.compare_exchange_strong(none, e);
            return false;
        }
        done += (size_t)w;
    }
    return true;
}

void safe_file::flush_soon(size_t at, size_t n)
{
#ifdef SYNC_FILE_RANGE_WRITE
    if (fd_ >= 0 && n > 0)
        (void)::sync_file_range(fd_, (off_t)at, (off_t)n, SYNC_FILE_RANGE_WRITE);
#else
    (void)at;
    (void)n;
#endif
}

int safe_file::commit(msglist &msgs, cancel_token *tok)
{
    if (fd_ < 0) {
        errno = EBADF;
        return fail(msgs, path_.c_str(), "write");
    }
    const char *step = "write";
    int e = error_.load();
    int ok = e == 0;
    // The bytes reach the disk before any name does: a power cut leaves
    // the old file or the new one, never a new name over missing data.
    if (ok && !sync_fd(fd_)) {
        ok = 0;
        e = errno;
        step = "flush to disk";
    }
    if (ok && temp_.empty()) {
        // give the nameless file a name beside the target
        const std::string name = temp_name(dir_, target_.substr(target_.rfind('/') + 1), this);
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp_ = name;
        } else {
            ok = 0;
            e = errno;
            step = "create";
        }
    }
    if (::close(fd_) != 0 && ok) {
        ok = 0;
        e = errno;
        step = "close";
    }
    fd_ = -1;
    if (ok && tok && !tok->commit()) { // cancelled: the target stays as it was
        if (!temp_.empty())
            ::unlink(temp_.c_str());
        temp_.clear();
        return 0;
    }
    if (ok && std::rename(temp_.c_str(), target_.c_str()) != 0) {
        ok = 0;
        e = errno;
        step = "rename";
    }
    if (!ok) {
        if (!temp_.empty())
            ::unlink(temp_.c_str());
        temp_.clear();
        errno = e;
        return fail(msgs, path_.c_str(), step);
    }
    temp_.clear();
    // The new name itself is made durable by flushing the folder. The file
    // is in place by now; a folder that cannot be flushed is reported, but
    // the save has happened.
    if (!sync_dir(dir_))
        msgs.add("\"%s\" is saved, but its folder could not be flushed to disk: %s", path_.c_str(),
                 std::strerror(errno));
    return 1;
}

void safe_file::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

void safewrite_fail_after(long long n)
{
    if (n < 0)
        unsetenv(FAIL_AFTER_VAR);
    else
        setenv(FAIL_AFTER_VAR, std::to_string(n).c_str(), 1);
}
