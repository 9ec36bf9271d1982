// Reads every source once. The monitor may change its counts between two
// calls, so a descriptor the plug-in did not fill is recorded as such.
#include "source_snapshot.h"

#include <windows.h>

#include <cstring>

#include "number_text.h"
#include "text_output.h"

namespace {

// The unit tells the group: a degree sign (ANSI 0xB0) for temperatures, RPM for fans.
SourceGroup GroupOfUnits(const char *units) {
    if (static_cast<unsigned char>(units[0]) == 0xB0) {
        return SourceGroup::Temperature;
    }
    return lstrcmpiA(units, "RPM") == 0 ? SourceGroup::Fan : SourceGroup::Other;
}

} // namespace

SourceReading DescribeSource(const LoadedPlugin &plugin, uint32_t index) {
    SourceReading reading;
    reading.index = index;
    SourceDesc desc;
    std::memset(&desc, 0, sizeof desc);
    reading.descResult = plugin.sourceDesc(index, &desc);
    // A result of 0 also comes with an empty name from the settings file; the
    // unit is written then, and never when the plug-in left the record alone.
    reading.described = reading.descResult > 0 || desc.units[0] != '\0';
    desc.units[sizeof desc.units - 1] = '\0';
    reading.name = AnsiToUtf8(desc.name, sizeof desc.name);
    reading.units = AnsiToUtf8(desc.units, sizeof desc.units);
    reading.group = GroupOfUnits(desc.units);
    reading.scaleMin = desc.scaleMin;
    reading.scaleMax = desc.scaleMax;
    reading.scaleDivisions = desc.scaleDivisions;
    return reading;
}

Snapshot TakeSnapshot(const LoadedPlugin &plugin) {
    Snapshot snapshot;
    snapshot.time = LocalTimestamp();
    snapshot.reported = plugin.sourcesNum();
    uint32_t count = snapshot.reported < 0 ? 0 : uint32_t(snapshot.reported);
    for (uint32_t index = 0; index < count && index < kMaxSources; ++index) {
        snapshot.sources.push_back(DescribeSource(plugin, index));
        snapshot.sources.back().value = plugin.sourceData(index);
    }
    return snapshot;
}

bool HasReading(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits != NO_READING_BITS;
}

std::string ValueText(const SourceReading &reading) {
    if (!HasReading(reading.value)) {
        return "no reading";
    }
    switch (reading.group) {
    case SourceGroup::Temperature:
        return FixedFloat(reading.value, 2);
    case SourceGroup::Fan:
        return FixedFloat(reading.value, 0);
    default:
        return ShortestFloat(reading.value);
    }
}

std::string ReadingNumber(const SourceReading &reading) {
    switch (reading.group) {
    case SourceGroup::Temperature:
        return ResolutionText(reading.value, 2);
    case SourceGroup::Fan:
        return ResolutionText(reading.value, 0);
    default:
        return ShortestFloat(reading.value);
    }
}
