// A kdhost --log recording as a source of readings: its rows grouped into the
// snapshots kdhost took, each to be published as one block, at its own time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "readings.h"

struct RecordedSnapshot {
    std::string time;   // as recorded
    int64_t timeMs = 0; // the same, for subtracting
    size_t line = 0;    // the line of its first row
    Readings readings;  // "no reading" cells as kNoReadingSlot
};

struct Recording {
    std::vector<RecordedSnapshot> snapshots;
    std::vector<std::string> problems; // one sentence per skipped row, with its line
    bool fahrenheit = false;           // the rows carry degrees Fahrenheit
    size_t mostLeftOut = 0;            // past 32 of a group in one snapshot
};

// The rows of a recording in text; false with a sentence when the text is not
// a recording (its first line is not the log's header) or no row is usable.
// Malformed rows are skipped, each with a problem naming its line.
bool ParseRecording(const std::string &text, Recording &recording, std::string &error);

// The same for a file.
bool ReadRecording(const std::string &path, Recording &recording, std::string &error);

// How long snapshot `index` stands before the next: the recorded time to the
// next snapshot (a clock that went back counts as 0); for the last, the gap
// before it (one second when there is only one). Divided by speed.
int64_t HoldMs(const Recording &recording, size_t index, double speed);
