// write_limit.h - writes that stop part-way, as on a full disk, for the
// tests of what a failed save leaves behind.
//
//   safewrite_fail_after(n)   from now on, no regular file grows beyond n
//                             bytes (n < 0: the limit is lifted again)
//   write_limit lim(n);       the same for as long as lim lives
//
// A write past the limit fails with "File too large" (EFBIG): the system's
// own file size limit (RLIMIT_FSIZE) stops it, with the SIGXFSZ that comes
// with it ignored, so the program under test meets a real failed write
// and has no hook for it. The limit holds for every thread of the test and
// for the child processes it starts. It holds for the test's own output
// too: where that goes to a regular file, check results after the limit
// is lifted.
#pragma once

#include <csignal>
#include <sys/resource.h>

inline void safewrite_fail_after(long long n)
{
    // the limit and the signal's handling as they were before the first
    static const rlim_t before = [] {
        rlimit r{};
        getrlimit(RLIMIT_FSIZE, &r);
        return r.rlim_cur;
    }();
    static void (*const handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = n < 0 ? before : (rlim_t)n < r.rlim_max ? (rlim_t)n : r.rlim_max;
    setrlimit(RLIMIT_FSIZE, &r);
    std::signal(SIGXFSZ, n < 0 ? handler : SIG_IGN);
}

struct write_limit {
    explicit write_limit(long long n) { safewrite_fail_after(n); }
    ~write_limit() { safewrite_fail_after(-1); }
    write_limit(const write_limit &) = delete;
    write_limit &operator=(const write_limit &) = delete;
};
