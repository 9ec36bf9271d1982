// Snapshots for programs: JSON and CSV, both UTF-8. No reading is null in
// JSON and an empty field in CSV; readings at the monitor's resolution (hundredths
// of a degree, whole RPM), scale numbers read back as the very same floats.
#pragma once

#include <string>

#include "source_snapshot.h"

std::string SnapshotJson(const Snapshot &snapshot, const std::string &pluginPath);

// The header row and one row per source, each ending in a newline.
std::string CsvHeader();
std::string CsvRow(const SourceReading &reading);

// Rows for the log: the time of the snapshot first, then the CSV columns.
std::string LogHeader();
std::string LogRows(const std::string &time, const std::vector<SourceReading> &sources);
