// kdserve's log: a line per event, each with the local time in front, in a
// file of bounded size. Past maxBytes the file becomes the old one (replacing
// it) and a new one starts, so the two never hold more than twice maxBytes.
// Writing never fails the caller: a line that cannot be written (a full disk,
// a missing folder, the old file held open) is counted, and the next line
// written says how many were lost.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

struct ServeLog {
    std::wstring path;    // %LOCALAPPDATA%\KelvoDyn\kdserve-PORT.log
    std::wstring oldPath; // what the file becomes when it is full
    uint64_t maxBytes = 1 << 20;
    unsigned lost = 0; // lines not written since the last one that was
    std::mutex lock;   // several threads write lines
};

// Appends the text (UTF-8, one line, escaped for a terminal by the caller)
// after the local time; false when it was lost.
bool WriteLogLine(ServeLog &log, const std::string &text);
