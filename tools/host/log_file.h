// The --log file: CSV rows appended with their time, the header written once.
#pragma once

#include <windows.h>

#include <string>

struct LogFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

// Opens FILE for appending, creating it if needed; writes the header when it
// is empty. False with a sentence when it cannot be opened.
bool OpenLog(const std::string &path, LogFile &log, std::string &error);
void AppendLog(LogFile &log, const std::string &rows);
void CloseLog(LogFile &log);
