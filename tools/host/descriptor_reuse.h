// When a scrape may answer with the descriptors (names, units, scales) that an
// earlier one read, rather than asking GetSourceDesc for every source again:
// the plug-in's descriptors follow from the block's counts and the settings
// file alone, so while neither changed they are the same.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "source_snapshot.h"

// What the file system says of the settings file: its times and size, or
// that it is not there.
struct FileStamp {
    bool known = false; // false when it could not be asked: such a stamp matches none
    bool exists = false;
    uint64_t created = 0;
    uint64_t written = 0;
    uint64_t size = 0;
};

bool SameStamp(const FileStamp &a, const FileStamp &b);

// Everything a source's descriptor depends on, as one scrape saw it.
struct DescriptorKey {
    int32_t reported = 0; // GetSourcesNum's answer
    uint16_t temps = 0;   // the block's counts: which index is which group, and its number
    uint16_t fans = 0;
    FileStamp settings;
};

struct KeptDescriptors {
    bool kept = false;
    DescriptorKey key;
    uint64_t readAtMs = 0;              // GetTickCount64 when they were read
    std::vector<SourceReading> sources; // the descriptors; the values are not kept
};

// A change the stamp cannot show (a copy that keeps the old times and size)
// is seen after this long at most.
constexpr uint64_t kMaxDescriptorAgeMs = 60000;

// Whether kept descriptors may be used by a scrape that finds the settings
// file so at nowMs; the plug-in's count and the block's are checked apart.
bool MayReuse(const KeptDescriptors &kept, const FileStamp &settings, uint64_t nowMs);

// Whether kept descriptors fit what GetSourcesNum and the block say now.
bool CountsFit(const KeptDescriptors &kept, int32_t reported, uint16_t temps, uint16_t fans);

// Asks the file system about the file (no opening, no reading).
FileStamp StampOfFile(const std::string &path);

// The settings file the plug-in reads: beside the module, named like it with
// ".ini", by the plug-in's own rule; "" when its path cannot be had.
std::string SettingsFileOf(HMODULE module);
