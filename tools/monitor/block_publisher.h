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
    HANDLE mapping = nullptr;
    SharedSensorBlock *block = nullptr;
    HWND window = nullptr;
};

// Creates (or takes over from a stopped monitor) the named block and the window,
// and publishes the header and the first readings. False with a sentence in
// error when it cannot.
bool StartPublishing(const MonitorOptions &options, const Readings &first,
                     BlockPublisher &publisher, std::string &error);

// Writes the slots, then the counts (the list lengths unless --counts overrides them).
void PublishReadings(BlockPublisher &publisher, const MonitorOptions &options,
                     const std::vector<int32_t> &temps, const std::vector<int32_t> &fans);

// Marks the block not publishing, destroys the window and closes the mapping.
void StopPublishing(BlockPublisher &publisher);
