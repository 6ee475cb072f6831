// worker.h: the work runs on its own thread, what follows it on the
// posting one, and a stop leaves nothing to follow.
#include "app/session/worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

constexpr auto DEADLINE = std::chrono::seconds(60);

// The window's thread as a test has it: posts wait in a queue until the
// test runs them.
struct poster {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::function<void()>> posted;

    worker::post_fn fn()
    {
        return [this](std::function<void()> f) {
            std::lock_guard<std::mutex> lock(m);
            posted.push_back(std::move(f));
            cv.notify_all();
        };
    }
    // Runs the next post once it has come; false when none came in time.
    bool run_next()
    {
        std::unique_lock<std::mutex> lock(m);
        if (!cv.wait_for(lock, DEADLINE, [this] { return !posted.empty(); }))
            return false;
        std::function<void()> f = std::move(posted.front());
        posted.pop_front();
        lock.unlock();
        f();
        return true;
    }
};

} // namespace

TEST(Worker, ThenFollowsOnThePostingThreadAndMayStartMore)
{
    poster p;
    worker w(p.fn());
    const std::thread::id here = std::this_thread::get_id();
    std::thread::id ran_on;
    std::vector<int> got;
    w.start(
        [&] {
            ran_on = std::this_thread::get_id();
            return 7;
        },
        [&](int rc) {
            got.push_back(rc);
            EXPECT_EQ(std::this_thread::get_id(), here);
            w.start([] { return 8; }, [&](int rc2) { got.push_back(rc2); });
        });
    EXPECT_TRUE(w.running());
    ASSERT_TRUE(p.run_next());
    EXPECT_NE(ran_on, here);
    EXPECT_TRUE(w.running()); // the second
    ASSERT_TRUE(p.run_next());
    EXPECT_EQ(got, (std::vector<int>{7, 8}));
    EXPECT_FALSE(w.running());
}

// A stop asks the work to stop and waits for it; what would have followed
// never does, whether the work had ended or not, nor when the worker is
// gone before its post comes.
TEST(Worker, AStopOrTheWorkersEndDropsWhatFollows)
{
    poster p;
    int thens = 0;
    {
        worker w(p.fn());
        std::atomic<bool> halted{false};
        w.start(
            [&] {
                while (!halted)
                    std::this_thread::yield();
                return 1;
            },
            [&](int) { thens++; }, [&] { halted = true; });
        w.stop();
        EXPECT_TRUE(halted);
        EXPECT_FALSE(w.running());
        ASSERT_TRUE(p.run_next()); // its post came all the same
        EXPECT_EQ(thens, 0);

        w.start([] { return 2; }, [&](int) { thens++; });
        w.start([] { return 3; }, [&](int rc) { thens += rc; }); // stops the one before
        ASSERT_TRUE(p.run_next());
        ASSERT_TRUE(p.run_next());
        EXPECT_EQ(thens, 3);

        w.start([] { return 4; }, [&](int) { thens++; });
    } // gone before its post is run
    ASSERT_TRUE(p.run_next());
    EXPECT_EQ(thens, 3);
}
