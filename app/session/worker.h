// worker.h - work run beside the window, and what follows it back on the
// window's thread: the one way the window runs anything long (a render,
// an animation, a live view's frame, the studio's reads and silhouettes).
//
//   worker w(post);                          // post(fn): fn soon, on the window's thread
//   w.start([&job] { return job.run(); },     // on a thread of its own
//           [this](int rc) { shown(rc); },    // then back on the window's thread
//           [&job] { job.cancel(); });        // how to ask the work to stop early
//   w.stop();                                 // asks it to stop and waits: `then` never runs
//
// A worker runs one piece of work at a time: start() while one runs
// stops that one first. The destructor stops what runs, so whatever the
// work uses may go once the worker has. start(), stop() and running()
// are the window's thread's; the work is handed nothing of the worker.
//
// The work itself checks what the user asked for before anything that
// cannot be taken back (a file put in place, a picture replaced): a stop
// asked for too late is the work's to honour (base/cancel.h), not the
// worker's.
#pragma once

#include <functional>
#include <memory>

class worker {
public:
    using post_fn = std::function<void(std::function<void()>)>;
    explicit worker(post_fn post);
    ~worker();
    worker(const worker &) = delete;
    worker &operator=(const worker &) = delete;

    void start(std::function<int()> work, std::function<void(int)> then,
               std::function<void()> halt = {});
    void stop();
    // Started, and its `then` has not run yet.
    bool running() const;

private:
    struct shared;
    post_fn post_;
    std::shared_ptr<shared> sh_;
};
