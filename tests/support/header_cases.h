// Headers a monitor may publish, good and bad, with whether the plug-in must
// accept them: each field on both sides of its bound, and the extremes.
#pragma once

#include <functional>

#include "monitor_link/shared_sensor_block.h"

struct HeaderCase {
    const char *what;
    std::function<void(SharedSensorBlock &)> write;
    bool accepted;
};

inline const HeaderCase kHeaders[] = {
    {"valid block", [](SharedSensorBlock &) {}, true},
    {"version 0", [](SharedSensorBlock &b) { b.version = 0; }, false},
    {"version 2", [](SharedSensorBlock &b) { b.version = 2; }, false},
    {"version 0xFFFF", [](SharedSensorBlock &b) { b.version = 0xFFFF; }, false},
    {"version 0x0101", [](SharedSensorBlock &b) { b.version = 0x0101; }, false},
    {"size 0", [](SharedSensorBlock &b) { b.size = 0; }, false},
    {"size 401", [](SharedSensorBlock &b) { b.size = 401; }, false},
    {"size 402", [](SharedSensorBlock &b) { b.size = 402; }, true},
    {"size 0xFFFFFFFF", [](SharedSensorBlock &b) { b.size = 0xFFFFFFFFu; }, true},
    {"numTemps 32", [](SharedSensorBlock &b) { b.numTemps = 32; }, true},
    {"numTemps 33", [](SharedSensorBlock &b) { b.numTemps = 33; }, false},
    {"numTemps 0xFFFF", [](SharedSensorBlock &b) { b.numTemps = 0xFFFF; }, false},
    {"numFans 32", [](SharedSensorBlock &b) { b.numFans = 32; }, true},
    {"numFans 33", [](SharedSensorBlock &b) { b.numFans = 33; }, false},
    {"numFans 0xFFFF", [](SharedSensorBlock &b) { b.numFans = 0xFFFF; }, false},
    {"numExtra 32", [](SharedSensorBlock &b) { b.numExtra = 32; }, true},
    {"numExtra 33", [](SharedSensorBlock &b) { b.numExtra = 33; }, false},
    {"numExtra 0xFFFF", [](SharedSensorBlock &b) { b.numExtra = 0xFFFF; }, false},
};
