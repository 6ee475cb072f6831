// qt_wait.h - a window's tests waiting for what its event loop does.
#pragma once

#include <QApplication>
#include <chrono>
#include <functional>
#include <thread>

// Runs the event loop until done() holds, for at most five seconds.
inline bool wait_until(const std::function<bool()> &done)
{
    for (int i = 0; i < 1000 && !done(); i++) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}
