// qt_wait.h - how a window's tests wait: for a condition, never for a
// time, within a deadline far beyond what any should take (a test that
// would wait longer has failed).
//
//   ASSERT_TRUE(wait_until([&] { return !a->busy; })); // the event loop runs
//   gate g;   g.open();  ...  g.wait();                  // one thread lets another on
#pragma once

#include <QTest>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

constexpr int WAIT_DEADLINE_MS = 60000;

// Runs the event loop until done() holds (true) or the deadline has
// passed (false).
inline bool wait_until(const std::function<bool()> &done)
{
    return QTest::qWaitFor(done, WAIT_DEADLINE_MS);
}

// Shut until open(): wait() holds a thread (a job's, beside the window)
// until another has opened it; false when the deadline passed first.
class gate {
public:
    void open()
    {
        std::lock_guard<std::mutex> lock(m);
        opened = true;
        cv.notify_all();
    }
    bool wait()
    {
        std::unique_lock<std::mutex> lock(m);
        return cv.wait_for(lock, std::chrono::milliseconds(WAIT_DEADLINE_MS),
                           [this] { return opened; });
    }

private:
    std::mutex m;
    std::condition_variable cv;
    bool opened = false;
};
