// The file is opened for each line and closed again: the log is a few lines
// an hour, and a file that is never held open can be read, moved or deleted
// by the user at any time, and is found again once its folder is back.
#include "serve_log.h"

#include <windows.h>

#include "number_text.h"
#include "timestamp_text.h"

namespace {

HANDLE OpenForAppending(const std::wstring &path) {
    return CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The log file, opened with room for `bytes` more: a full one is moved aside first.
HANDLE OpenWithRoom(const ServeLog &log, size_t bytes) {
    const std::wstring folder = log.path.substr(0, log.path.find_last_of(L'\\'));
    CreateDirectoryW(folder.c_str(), nullptr); // fails harmlessly when it is there
    HANDLE file = OpenForAppending(log.path);
    LARGE_INTEGER size{};
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size) || size.QuadPart == 0 ||
        uint64_t(size.QuadPart) + bytes <= log.maxBytes) {
        return file;
    }
    CloseHandle(file);
    if (!MoveFileExW(log.path.c_str(), log.oldPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return INVALID_HANDLE_VALUE; // kept within its bound: this line is lost instead
    }
    return OpenForAppending(log.path);
}

} // namespace

bool WriteLogLine(ServeLog &log, const std::string &text) {
    std::lock_guard<std::mutex> guard(log.lock);
    const std::string time = LocalTimestamp();
    std::string bytes;
    if (log.lost > 0) {
        bytes = time + " (" + Counted(log.lost, "line", "lines") +
                " of this log could not be written)\r\n";
    }
    bytes += time + " " + text + "\r\n";
    HANDLE file = OpenWithRoom(log, bytes.size());
    DWORD written = 0;
    const bool whole = file != INVALID_HANDLE_VALUE &&
                       WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    log.lost = whole ? 0 : log.lost + 1;
    return whole;
}
