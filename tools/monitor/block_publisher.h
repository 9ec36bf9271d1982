// Owns the monitor's side of the shared block: the named mapping,
// the message-only window whose handle marks the monitor as live, and the writes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "monitor_link/shared_sensor_block.h"
#include "monitor_options.h"
#include "published_readings.h"

struct BlockPublisher {
    HANDLE instance = nullptr; // the named mutex held while this monitor runs
    HANDLE mapping = nullptr;
    SharedSensorBlock *block = nullptr;
    HWND window = nullptr;
};

// Becomes the one running monitor, creates (or takes over from a stopped
// monitor) the named block and the window, and publishes the header and the
// first readings: kExitOk. Another monitor running already: kExitAlreadyRunning;
// a block that cannot be published: kExitNo; each with a sentence in error.
int StartPublishing(const MonitorOptions &options, const Readings &first,
                    BlockPublisher &publisher, std::string &error);

// Writes the slots, then the counts (the list lengths unless --counts overrides them).
void PublishReadings(BlockPublisher &publisher, const MonitorOptions &options,
                     const std::vector<int32_t> &temps, const std::vector<int32_t> &fans);

// Marks the block not publishing (only while it still names this monitor's
// window), destroys the window, closes the mapping and lets the next monitor start.
void StopPublishing(BlockPublisher &publisher);
