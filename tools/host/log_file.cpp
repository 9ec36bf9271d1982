// Appends through FILE_APPEND_DATA, so rows from two runs, or from a program
// reading the file meanwhile, never overwrite one another.
#include "log_file.h"

#include "error_words.h"
#include "machine_formats.h"

bool OpenLog(const std::string &path, LogFile &log, std::string &error) {
    log.handle = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log.handle == INVALID_HANDLE_VALUE) {
        error = "cannot open the log file " + path + ": " + FileErrorWords(path, GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (GetFileSizeEx(log.handle, &size) && size.QuadPart == 0) {
        AppendLog(log, LogHeader());
    }
    return true;
}

void AppendLog(LogFile &log, const std::string &rows) {
    DWORD written = 0;
    if (log.handle != INVALID_HANDLE_VALUE && !rows.empty()) {
        WriteFile(log.handle, rows.data(), DWORD(rows.size()), &written, nullptr);
    }
}

void CloseLog(LogFile &log) {
    if (log.handle != INVALID_HANDLE_VALUE) {
        CloseHandle(log.handle);
        log.handle = INVALID_HANDLE_VALUE;
    }
}
