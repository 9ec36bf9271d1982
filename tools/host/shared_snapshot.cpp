// The "generation" scheme: the caller that finds no snapshot in flight takes
// one outside the lock; callers that arrive meanwhile wait for its generation
// to be published and answer from it.
#include "shared_snapshot.h"

#include "block_copy.h"

std::shared_ptr<const ServedState> SharedSnapshot::Fresh() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (taking_) {
        const uint64_t inFlight = generation_ + 1;
        done_.wait(lock, [&] { return generation_ >= inFlight; });
        return latest_;
    }
    taking_ = true;
    lock.unlock();
    auto state = std::make_shared<ServedState>(take_());
    lock.lock();
    state->generation = ++generation_;
    latest_ = state;
    taking_ = false;
    done_.notify_all();
    return latest_;
}

ServedState TakeServedState(const LoadedPlugin &plugin) {
    ServedState state;
    state.snapshot = TakeSnapshot(plugin);
    Diagnosis diagnosis = DiagnoseBlock(CopySharedBlock());
    state.finding = diagnosis.finding;
    state.findingSentence = diagnosis.sentence;
    return state;
}
