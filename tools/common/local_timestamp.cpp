// The local clock in the tools' timestamp format.
#include <windows.h>

#include "timestamp_text.h"

std::string LocalTimestamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FormatTimestamp(
        {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds});
}
