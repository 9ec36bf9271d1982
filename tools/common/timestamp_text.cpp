// The one timestamp format of the tools' logs, written and parsed.
#include "timestamp_text.h"

#include <windows.h>

#include <cstdio>

namespace {

const char kFormat[] = "%04u-%02u-%02uT%02u:%02u:%02u.%03u";

bool Digits(const std::string &text, size_t at, size_t count, unsigned &value) {
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + unsigned(text[i] - '0');
    }
    return true;
}

} // namespace

std::string LocalTimestamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, kFormat, now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

bool ParseTimestamp(const std::string &text, int64_t &milliseconds) {
    // Each field at its place: YYYY-MM-DDTHH:MM:SS.mmm
    const struct {
        size_t at, count;
        char after;
    } fields[] = {{0, 4, '-'},  {5, 2, '-'},  {8, 2, 'T'},  {11, 2, ':'},
                  {14, 2, ':'}, {17, 2, '.'}, {20, 3, '\0'}};
    unsigned values[7];
    if (text.size() != 23) {
        return false;
    }
    for (size_t i = 0; i < 7; ++i) {
        const size_t end = fields[i].at + fields[i].count;
        if (!Digits(text, fields[i].at, fields[i].count, values[i]) ||
            (fields[i].after != '\0' && text[end] != fields[i].after)) {
            return false;
        }
    }
    SYSTEMTIME time{};
    time.wYear = WORD(values[0]);
    time.wMonth = WORD(values[1]);
    time.wDay = WORD(values[2]);
    time.wHour = WORD(values[3]);
    time.wMinute = WORD(values[4]);
    time.wSecond = WORD(values[5]);
    time.wMilliseconds = WORD(values[6]);
    FILETIME ticks;
    // The conversion checks the calendar: month 13, 30 February or hour 24 fail.
    if (!SystemTimeToFileTime(&time, &ticks)) {
        return false;
    }
    ULARGE_INTEGER count;
    count.LowPart = ticks.dwLowDateTime;
    count.HighPart = ticks.dwHighDateTime;
    milliseconds = int64_t(count.QuadPart / 10000);
    return true;
}
