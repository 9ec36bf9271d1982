// Local time as the tools write it (ISO 8601 with milliseconds, no zone:
// "2026-12-08T18:21:43.782"), and read back for replaying a recording.
#pragma once

#include <cstdint>
#include <string>

std::string LocalTimestamp();

struct TimestampFields {
    unsigned year, month, day, hour, minute, second, millisecond;
};

// The fields in the format above; the clock's and a test's alike.
std::string FormatTimestamp(const TimestampFields &time);

// Milliseconds on a continuous count (from 1601, as the calendar runs, with no
// time zone), so two stamps can be subtracted; false when the text is not a
// stamp of that form with a real date and time.
bool ParseTimestamp(const std::string &text, int64_t &milliseconds);
