// cancel.h - a stop asked for on one thread and honoured by work on
// another, before the work does anything that cannot be taken back.
//
//   cancel_token tok;
//   worker:  ... if (tok.cancelled()) return;  // give up early, leave nothing
//            if (!tok.commit()) return;        // just before the rename that
//            rename(temp, target);             // puts the result in place
//   window:  if (!tok.cancel()) ...            // too late: the result is in place
//
// commit() and cancel() decide once between them: whichever comes first
// wins, on any thread. After a cancel every commit() says no; after a
// commit every cancel() says it came too late. Any number of commits may
// follow the first (a result put in place in several steps).
#pragma once

#include <atomic>

class cancel_token {
public:
    // true when the work will stop, or has, leaving nothing behind; false
    // when it had already put its result in place.
    bool cancel()
    {
        int s = RUNNING;
        return state_.compare_exchange_strong(s, CANCELLED) || s == CANCELLED;
    }
    bool cancelled() const { return state_.load() == CANCELLED; }
    bool committed() const { return state_.load() == COMMITTED; }
    // true when the work may make its result permanent; false when it was
    // cancelled and must leave nothing.
    bool commit()
    {
        int s = RUNNING;
        return state_.compare_exchange_strong(s, COMMITTED) || s == COMMITTED;
    }

private:
    enum { RUNNING, CANCELLED, COMMITTED };
    std::atomic<int> state_{RUNNING};
};
