// safewrite.h - replace a file only once its new contents are all written.
//
// The bytes go to a temporary file beside the target, which is flushed to
// disk (fsync) and renamed over the target when every byte is written; the
// folder is flushed after the rename, so the new name survives a power cut
// too. On any failure the temporary file is removed and the old file stays
// as it was. The new file keeps the old one's owner and permissions;
// saving over a symbolic link replaces the file it points to. A target
// that exists and is not a regular file (a device, a pipe) is written
// directly; a directory is refused.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

struct msglist;
class cancel_token;

// 1 on success; 0 on failure, with the reason (naming path) in msgs. A
// folder that cannot be flushed after the rename leaves a line in msgs but
// still counts as success: the new file is in place. With a token, the
// rename waits for its commit() (cancel.h): a cancel that came first
// leaves the target as it was and returns 0 with nothing in msgs.
int write_file_safely(const char *path, const unsigned char *data, size_t n, msglist &msgs,
                      cancel_token *tok = nullptr);

// A file written in pieces, at any offsets and from any threads, that
// replaces its target the way write_file_safely does once it is complete.
// The pieces go to a new file beside the target which, where the file
// system allows, has no name until commit() (a process killed half-way
// leaves nothing behind); commit() flushes it to disk, names it, renames it
// over the target and flushes the folder. Only for a target that is a regular file or does not
// exist yet: begin() declines others (and any it cannot start), and the caller then writes the
// whole file with write_file_safely, which reports why.
class safe_file {
public:
    safe_file() = default;
    safe_file(const safe_file &) = delete;
    safe_file &operator=(const safe_file &) = delete;
    ~safe_file() { discard(); }

    // Starts the new file for path; false when declined.
    bool begin(const char *path);
    // Writes n bytes at offset at; false, and every later write false
    // too, once one has failed (commit then reports it).
    bool write_at(size_t at, const void *data, size_t n);
    // Starts writing the n bytes at offset at to disk, without waiting, so
    // that commit() has less left to wait for. Only a hint: bytes written
    // there later are still flushed by commit().
    void flush_soon(size_t at, size_t n);
    // 1 when the target now holds every byte written; 0 on failure, with
    // the reason (naming the target) in msgs. The new file is gone then.
    // With a token, as write_file_safely: cancelled first, 0 and no reason.
    int commit(msglist &msgs, cancel_token *tok = nullptr);
    // Drops the new file; the target stays as it was.
    void discard();
    bool started() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::string path_, target_, dir_, temp_; // temp_: the new file's name, if it has one
    std::atomic<int> error_{0};              // errno of the first failed write
};
