// safewrite.h - replace a file only once its new contents are all written.
//
// The bytes go to a temporary file beside the target, which is renamed over
// the target when every byte is written; on any failure the temporary file
// is removed and the old file stays as it was. The new file keeps the old
// one's owner and permissions; saving over a symbolic link replaces the
// file it points to. A target that exists and is not a regular file (a
// device, a pipe) is written directly; a directory is refused.
#pragma once

#include <cstddef>

struct msglist;

// 1 on success; 0 on failure, with the reason (naming path) in msgs.
int write_file_safely(const char *path, const unsigned char *data, size_t n, msglist &msgs);

// Test seam: when >= 0, writing fails with "No space left on device" once
// this many bytes have gone out, as on a full disk.
extern long long safewrite_fail_after;
