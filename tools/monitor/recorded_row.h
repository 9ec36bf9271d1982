// One row of a kdhost --log recording, checked cell by cell against exactly
// what kdhost writes. Portable: no platform header.
#pragma once

#include <cstdint>
#include <string>

#include "csv_reader.h"

// The host's sources are numbered from 0 up to this, exclusive.
constexpr int kRecordedSources = 256;

enum class RowGroup { Unknown, Temperature, Fan };

struct RecordedRow {
    std::string time;   // as recorded; "" when it is no time
    int64_t timeMs = 0; // the same, for subtracting
    int index = -1;     // -1 when the index cannot be read
    RowGroup group = RowGroup::Unknown;
    int32_t slot = INT32_MIN; // hundredths of a degree or RPM; INT32_MIN: no reading
    bool fahrenheit = false;
};

// The row as far as it can be read: each cell on its own, so a bad value still
// leaves the row's time, index and group known. "" when the row is whole,
// else what is wrong, quoting at most a short prefix of the cell.
std::string ParseRecordedRow(const CsvRecord &record, RecordedRow &row);

// A value cell as the block's slot: "" for no reading, else a temperature as
// an optional minus, digits and at most two decimals ("-2.5", "45.25"), a fan
// as a whole number; nothing else. "" when read, else what is wrong.
std::string ParseRecordedValue(const std::string &text, RowGroup group, int32_t &slot);
