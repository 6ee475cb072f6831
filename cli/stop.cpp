// Stopping koru-cli by signal: Ctrl-C (SIGINT), SIGTERM and SIGHUP.
#include "cli.h"

#include <csignal>

std::atomic<bool> stop_requested{false};
std::atomic<int> stop_signal{0};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets it");
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler sets it");

namespace {

const int caught[] = {SIGINT, SIGTERM, SIGHUP};

// Touches nothing but the two lock-free atomics: the render watches the
// flag as its stop flag, the command reads the signal when it ends.
void on_stop(int sig)
{
    int none = 0;
    stop_signal.compare_exchange_strong(none, sig);
    stop_requested.store(true);
}

} // namespace

stop_signals::stop_signals()
{
    stop_requested = false;
    stop_signal = 0;
    struct sigaction sa = {};
    sa.sa_handler = on_stop;
    sigemptyset(&sa.sa_mask);
    for (size_t i = 0; i < sizeof caught / sizeof caught[0]; i++)
        sigaction(caught[i], &sa, &old[i]);
}

stop_signals::~stop_signals()
{
    for (size_t i = 0; i < sizeof caught / sizeof caught[0]; i++)
        sigaction(caught[i], &old[i], nullptr);
}

int stopped_status()
{
    const int sig = stop_signal.load();
    return 128 + (sig ? sig : SIGINT);
}
