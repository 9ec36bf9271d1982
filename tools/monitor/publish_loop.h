// The one loop every source of readings runs in: publish, wait, ask the
// source for the next readings, until it is stopped or the source ends.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "block_publisher.h"
#include "published_readings.h"

struct Frame {
    Readings readings;
    int64_t holdMs = 1000; // how long these readings stand before the next frame
};

// Fills the next frame; false when the source has no more (a recording's end).
using NextFrame = std::function<bool(Frame &frame)>;

enum class LoopEnd { Stopped, DurationOver, SourceEnded };

// The first frame is published already; waits out its hold, then publishes
// the next, on a schedule that does not drift with the time a frame takes.
// Ends on the stop event, after options.durationSeconds (when not 0), or
// when next() returns false.
LoopEnd RunPublishLoop(BlockPublisher &publisher, const MonitorOptions &options, HANDLE stopEvent,
                       int64_t firstHoldMs, const NextFrame &next);
