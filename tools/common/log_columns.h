// The columns of a kdhost recording (--log) and of its --csv snapshot, in
// order: kdhost writes them and kdmonitor --replay reads them by this one list.
#pragma once

#include <string>

enum LogColumn {
    kColumnTime, // only in the log: the snapshot's local time, shared by its rows
    kColumnIndex,
    kColumnGroup,
    kColumnName,
    kColumnValue, // empty: no reading
    kColumnUnits,
    kColumnScaleMin,
    kColumnScaleMax,
    kColumnScaleDivisions,
    kColumnCount
};

extern const char *const kColumnNames[kColumnCount];

// The header line from column `first` on, ending in a newline: kdhost --csv
// starts at kColumnIndex, the log at kColumnTime.
std::string ColumnHeader(LogColumn first);
