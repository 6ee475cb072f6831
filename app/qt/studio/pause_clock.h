// pause_clock.h - the clock of the studio's typing pause (studio_follow.h):
// milliseconds, and one alarm on them, the read that is due.
//
// The window's clock runs by itself. A test's stands still once held, and
// moves only as the test advances it: an alarm that falls due then rings
// at once; an alarm due at once rings from the event loop, held or not.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class PauseClock : public QObject {
public:
    explicit PauseClock(std::function<void()> ring);
    long long now() const;
    // The alarm rings in ms (0: from the event loop); stop() takes it away.
    void alarm(long long ms);
    void stop();

    void hold();
    void advance(long long ms);

private:
    std::function<void()> ring;
    QElapsedTimer clock;
    QTimer timer;
    bool held = false;
    long long t = 0;    // the time while held
    long long due = -1; // the alarm while held
};
