// The one timestamp format of the tools' logs, parsed with the calendar's own
// rules. Portable: no platform header (the clock is read in local_timestamp.cpp).
#include "timestamp_text.h"

#include <cstdio>
#include <string_view>

#include "number_reader.h"

namespace {

// count digits at text[at], nothing else.
bool Digits(const std::string &text, size_t at, size_t count, unsigned &value) {
    uint64_t number = 0;
    if (at + count > text.size() ||
        ReadDigits(std::string_view(text).substr(at, count), 9999, number) != NumberRead::Taken) {
        return false;
    }
    value = unsigned(number);
    return true;
}

bool IsLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the given date of the Gregorian calendar, the count
// the platform's file times start from.
int64_t DaysSince1601(unsigned year, unsigned month, unsigned day) {
    const int64_t years = int64_t(year) - 1601;
    int64_t days = years * 365 + years / 4 - years / 100 + years / 400;
    for (unsigned m = 1; m < month; ++m) {
        days += DaysInMonth(year, m);
    }
    return days + day - 1;
}

} // namespace

std::string FormatTimestamp(const TimestampFields &time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03u", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.millisecond);
    return text;
}

bool ParseTimestamp(const std::string &text, int64_t &milliseconds) {
    // Each field at its place: YYYY-MM-DDTHH:MM:SS.mmm
    const struct {
        size_t at, count;
        char after;
    } fields[] = {{0, 4, '-'},  {5, 2, '-'},  {8, 2, 'T'},  {11, 2, ':'},
                  {14, 2, ':'}, {17, 2, '.'}, {20, 3, '\0'}};
    unsigned v[7];
    if (text.size() != 23) {
        return false;
    }
    for (size_t i = 0; i < 7; ++i) {
        const size_t end = fields[i].at + fields[i].count;
        if (!Digits(text, fields[i].at, fields[i].count, v[i]) ||
            (fields[i].after != '\0' && text[end] != fields[i].after)) {
            return false;
        }
    }
    const unsigned year = v[0], month = v[1], day = v[2];
    // The calendar's rules: month 13, 30 February or hour 24 are no time.
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        v[3] > 23 || v[4] > 59 || v[5] > 59) {
        return false;
    }
    const int64_t seconds =
        DaysSince1601(year, month, day) * 86400 + v[3] * 3600 + v[4] * 60 + v[5];
    milliseconds = seconds * 1000 + v[6];
    return true;
}
