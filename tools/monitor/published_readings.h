// What every source of readings hands the publisher: the values of the two
// groups the plug-in reads, as the block holds them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "monitor_link/shared_sensor_block.h"

struct Readings {
    std::vector<int32_t> temps; // hundredths of a degree
    std::vector<int32_t> fans;  // RPM
};

// Published for a sensor that has no value now: outside every plausibility
// bound of the plug-in (300.00 and 572.00 degrees, 15000 RPM), so the host
// shows no reading rather than a stale value or 0.
constexpr int32_t kNoReadingSlot = std::numeric_limits<int32_t>::min();

// Keeps the first SENSOR_SLOTS items, the block's room per group; how many were
// dropped.
template <typename Item> size_t KeepSlots(std::vector<Item> &items) {
    size_t dropped = items.size() - std::min<size_t>(items.size(), SENSOR_SLOTS);
    items.resize(items.size() - dropped);
    return dropped;
}
