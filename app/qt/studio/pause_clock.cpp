#include "app/qt/studio/pause_clock.h"

PauseClock::PauseClock(std::function<void()> fn) : ring(std::move(fn))
{
    clock.start();
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [this] { ring(); });
}

long long PauseClock::now() const { return held ? t : clock.elapsed(); }

void PauseClock::alarm(long long ms)
{
    due = -1;
    if (held && ms > 0) {
        timer.stop();
        due = t + ms;
        return;
    }
    timer.start((int)ms);
}

void PauseClock::stop()
{
    timer.stop();
    due = -1;
}

void PauseClock::hold()
{
    t = clock.elapsed();
    held = true;
    if (timer.isActive() && timer.remainingTime() > 0) { // from now on, the test's time
        due = t + timer.remainingTime();
        timer.stop();
    }
}

void PauseClock::advance(long long ms)
{
    t += ms;
    if (due >= 0 && due <= t) {
        due = -1;
        ring();
    }
}
