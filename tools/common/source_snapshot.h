// One pass over the plug-in's sources: count, descriptor and value of each,
// taken through the exports the way a monitoring host asks for them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_loader.h"
#include "source_group.h"
#include "timestamp_text.h"

struct SourceReading {
    uint32_t index = 0;
    int32_t descResult = 0; // GetSourceDesc's answer: the name's length, or 0
    bool described = false; // the plug-in filled the descriptor
    std::string name;       // UTF-8
    std::string units;      // UTF-8
    SourceGroup group = SourceGroup::Other;
    float scaleMin = 0;
    float scaleMax = 0;
    float scaleDivisions = 0;
    float value = NO_READING;
};

struct Snapshot {
    std::string time;     // local time, ISO 8601 with milliseconds
    int32_t reported = 0; // GetSourcesNum's answer as it came
    std::vector<SourceReading> sources;
};

// More sources than this are taken for a broken plug-in and cut off here.
constexpr uint32_t kMaxSources = 256;

Snapshot TakeSnapshot(const LoadedPlugin &plugin);

// One source's descriptor through GetSourceDesc, its value left as no reading.
SourceReading DescribeSource(const LoadedPlugin &plugin, uint32_t index);

bool HasReading(float value);

// The value as people read it: two decimals for a temperature, whole RPM for
// a fan, "no reading" for the plug-in's no-reading answer.
std::string ValueText(const SourceReading &reading);

// The value for programs, at the resolution the monitor publishes: at most two
// decimals for a temperature, whole RPM for a fan ("38.88", "45.5", "900").
// The caller tests HasReading first.
std::string ReadingNumber(const SourceReading &reading);
