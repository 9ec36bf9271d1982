// The "attempt" scheme: the caller that finds no snapshot in flight takes one
// outside the lock; callers that arrive meanwhile wait for that attempt to
// finish and answer from it, or fail with it.
#include "served_snapshot.h"

std::shared_ptr<const ServedState> SharedSnapshot::Fresh() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (taking_) {
        const uint64_t inFlight = attempts_ + 1;
        done_.wait(lock, [&] { return attempts_ >= inFlight; });
        if (failure_) {
            std::rethrow_exception(failure_);
        }
        return latest_;
    }
    taking_ = true;
    lock.unlock();
    std::shared_ptr<ServedState> state;
    std::exception_ptr failure;
    try {
        state = std::make_shared<ServedState>(take_());
    } catch (...) {
        failure = std::current_exception();
    }
    lock.lock();
    // Whatever happened, the next caller finds nothing in flight and the waiters wake.
    ++attempts_;
    taking_ = false;
    failure_ = failure;
    if (state) {
        state->generation = ++generation_;
        latest_ = state;
    }
    done_.notify_all();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return latest_;
}
