// A connection counts against the cap from its admission until its thread has
// answered it, whether it waits for a thread or is being answered.
#include "connection_pool.h"

#include <algorithm>

ConnectionPool::ConnectionPool(unsigned cap, std::function<void(uintptr_t)> serve)
    : cap_(cap), serve_(std::move(serve)) {
    threads_.reserve(cap);
}

ConnectionPool::~ConnectionPool() {
    Stop();
}

bool ConnectionPool::Admit(uintptr_t connection) {
    AcquireSRWLockExclusive(&lock_);
    if (stopping_ || inService_ >= cap_) {
        ReleaseSRWLockExclusive(&lock_);
        return false;
    }
    ++inService_;
    waiting_.push_back(connection);
    // Every thread has a connection of its own, or one to take up: one more.
    const bool start = threads_.size() < inService_;
    ReleaseSRWLockExclusive(&lock_);
    WakeConditionVariable(&wake_);
    if (!start) {
        return true;
    }
    try {
        threads_.emplace_back([this] { Work(); });
        return true;
    } catch (...) {
        // No thread now: one of the others takes it up when it is free; with
        // none at all, it is handed back to be refused.
    }
    AcquireSRWLockExclusive(&lock_);
    bool refused = false;
    if (threads_.empty()) {
        auto it = std::find(waiting_.begin(), waiting_.end(), connection);
        if (it != waiting_.end()) {
            waiting_.erase(it);
            --inService_;
            refused = true;
        }
    }
    ReleaseSRWLockExclusive(&lock_);
    return !refused;
}

void ConnectionPool::Work() {
    AcquireSRWLockExclusive(&lock_);
    for (;;) {
        while (waiting_.empty() && !stopping_) {
            SleepConditionVariableSRW(&wake_, &lock_, INFINITE, 0);
        }
        if (stopping_) {
            break;
        }
        const uintptr_t connection = waiting_.front();
        waiting_.pop_front();
        ReleaseSRWLockExclusive(&lock_);
        serve_(connection);
        AcquireSRWLockExclusive(&lock_);
        --inService_;
    }
    ReleaseSRWLockExclusive(&lock_);
}

std::vector<uintptr_t> ConnectionPool::Stop() {
    AcquireSRWLockExclusive(&lock_);
    stopping_ = true;
    ReleaseSRWLockExclusive(&lock_);
    WakeAllConditionVariable(&wake_);
    for (std::thread &t : threads_) {
        t.join();
    }
    threads_.clear();
    std::vector<uintptr_t> left(waiting_.begin(), waiting_.end());
    waiting_.clear();
    inService_ = 0;
    return left;
}
