// One snapshot in flight at a time, shared by every request that asks while it
// is being taken; a request that comes after it has finished takes a new one.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

#include "block_diagnosis.h"
#include "source_snapshot.h"

// What a request is answered from: the plug-in's sources and, since the
// plug-in never says why it has none, the shared block's diagnosis.
struct ServedState {
    Snapshot snapshot;
    Finding finding = Finding::NoBlock;
    std::string findingSentence;
    uint64_t generation = 0; // counts the snapshots taken, from 1
};

class SharedSnapshot {
  public:
    explicit SharedSnapshot(std::function<ServedState()> take) : take_(std::move(take)) {}

    // Waits for the snapshot being taken, if any, and returns it; otherwise
    // takes one. Never returns a snapshot that had finished before the call.
    // When taking it throws, every caller that waited for it gets the same
    // exception, and the next call tries afresh.
    std::shared_ptr<const ServedState> Fresh();

  private:
    std::function<ServedState()> take_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool taking_ = false;
    uint64_t attempts_ = 0;   // snapshots finished, taken or failed
    uint64_t generation_ = 0; // snapshots taken
    std::shared_ptr<const ServedState> latest_;
    std::exception_ptr failure_; // of the last attempt, if it failed
};
