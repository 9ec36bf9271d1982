// The --log file: CSV rows appended with their time, the header written once;
// only a new file or a recording with the same header is written to.
#pragma once

#include <windows.h>

#include <string>

struct LogFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::string shownPath;     // the path as messages quote it
    bool endLineFirst = false; // the recording ends mid-line (a run cut short)
};

// Opens FILE for appending, creating it with the header when it is new or
// empty. kExitOk; kExitFileFailed when it cannot be opened or written;
// kExitFileKept when it holds something else than a recording with this
// header, which is then left untouched. A sentence in error for both.
int OpenLog(const std::string &path, LogFile &log, std::string &error);
// Appends the rows; false with a sentence when they could not all be written.
bool AppendLog(LogFile &log, const std::string &rows, std::string &error);
void CloseLog(LogFile &log);
