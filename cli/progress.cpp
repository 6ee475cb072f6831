// The progress bar koru-cli draws on a terminal while it renders.
#include "cli.h"

#include <chrono>
#include <cstdarg>
#include <thread>

void draw_bar(int fill, const char *fmt, ...)
{
    char bar[BAR_WIDTH + 1];
    for (int i = 0; i < BAR_WIDTH; i++)
        bar[i] = i < fill ? '#' : '.';
    bar[BAR_WIDTH] = 0;
    std::fprintf(stderr, "\r[%s] ", bar);
    va_list ap;
    va_start(ap, fmt);
    std::vfprintf(stderr, fmt, ap);
    va_end(ap);
    std::fflush(stderr);
}

int run_with_bar(bool tty, const std::function<void()> &draw, const std::function<int()> &run)
{
    std::atomic<bool> finished{false};
    std::thread bar;
    if (tty)
        bar = std::thread([&] {
            while (!finished) {
                draw();
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
    const int rc = run();
    finished = true;
    if (bar.joinable())
        bar.join();
    if (tty)
        std::fputs("\r\033[K", stderr);
    return rc;
}
