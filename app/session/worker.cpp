#include "app/session/worker.h"

#include <thread>

// What the work's thread and the posts it sends share with the worker;
// everything but the thread's own copy of gen is touched on the window's
// thread only.
struct worker::shared {
    std::thread thread;
    unsigned gen = 0; // the work that runs; a post of any other is dropped
    bool busy = false;
    std::function<void(int)> then;
    std::function<void()> halt;

    void arrived(unsigned g, int rc)
    {
        if (g != gen || !busy)
            return; // stopped since, or another started
        thread.join();
        busy = false;
        halt = nullptr;
        const std::function<void(int)> t = std::move(then);
        then = nullptr;
        t(rc); // may start the next piece of work
    }
};

worker::worker(post_fn post) : post_(std::move(post)), sh_(std::make_shared<shared>()) {}

worker::~worker() { stop(); }

void worker::start(std::function<int()> work, std::function<void(int)> then,
                   std::function<void()> halt)
{
    stop();
    sh_->busy = true;
    sh_->then = std::move(then);
    sh_->halt = std::move(halt);
    const unsigned g = ++sh_->gen;
    sh_->thread = std::thread([work = std::move(work), post = post_, sh = sh_, g] {
        const int rc = work();
        post([sh, g, rc] { sh->arrived(g, rc); });
    });
}

void worker::stop()
{
    if (!sh_->busy)
        return;
    if (sh_->halt)
        sh_->halt();
    sh_->thread.join();
    sh_->busy = false;
    sh_->gen++;
    sh_->then = nullptr;
    sh_->halt = nullptr;
}

bool worker::running() const { return sh_->busy; }
