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

#include <cstddef>

struct msglist;

// 1 on success; 0 on failure, with the reason (naming path) in msgs. A
// folder that cannot be flushed after the rename leaves a line in msgs but
// still counts as success: the new file is in place.
int write_file_safely(const char *path, const unsigned char *data, size_t n, msglist &msgs);

// Test seam: when >= 0, writing fails with "No space left on device" once
// this many bytes have gone out, as on a full disk.
extern long long safewrite_fail_after;
