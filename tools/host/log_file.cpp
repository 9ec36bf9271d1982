// Appends through FILE_APPEND_DATA, so rows from two runs, or from a program
// reading the file meanwhile, never overwrite one another. An existing file
// is read first and written to only when its first line is the header: rows
// under another header, or in a user's notes, would make it unreadable.
#include "log_file.h"

#include "error_words.h"
#include "exit_codes.h"
#include "file_access.h"
#include "snapshot_json_csv.h"
#include "terminal_text.h"
#include "text_output.h"

namespace {

// Whether the file starts with the log's header line (CR LF taken too).
bool StartsWithHeader(HANDLE file) {
    const std::string header = LogHeader(); // ends in "\n"
    std::string first(header.size() + 1, '\0');
    DWORD read = 0;
    if (!ReadAt(file, 0, &first[0], DWORD(first.size()), read)) {
        return false;
    }
    first.resize(read);
    const std::string line = header.substr(0, header.size() - 1);
    return first.rfind(line + "\n", 0) == 0 || first.rfind(line + "\r\n", 0) == 0;
}

bool EndsMidLine(HANDLE file, uint64_t size) {
    char last = '\n';
    DWORD read = 0;
    return ReadAt(file, size - 1, &last, 1, read) && read == 1 && last != '\n';
}

} // namespace

int OpenLog(const std::string &path, LogFile &log, std::string &error) {
    log.shownPath = ShownPath(path);
    log.handle = OpenFile(path, FileAccess::Append);
    if (log.handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        error = "cannot open the log file " + log.shownPath + ": " + FileErrorWords(path, code);
        return kExitFileFailed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(log.handle, &size)) {
        size.QuadPart = 0; // a device such as NUL: nothing to keep
    }
    if (size.QuadPart == 0) {
        return AppendLog(log, LogHeader(), error) ? kExitOk : kExitFileFailed;
    }
    if (!StartsWithHeader(log.handle)) {
        CloseLog(log);
        error = "the log file " + log.shownPath +
                " is there and is no kdhost recording with this header (its first line is not " +
                TerminalText(LogHeader().substr(0, LogHeader().size() - 1)) +
                "), so nothing is added to it: give a new file name";
        return kExitFileKept;
    }
    log.endLineFirst = EndsMidLine(log.handle, uint64_t(size.QuadPart));
    return kExitOk;
}

bool AppendLog(LogFile &log, const std::string &rows, std::string &error) {
    if (log.handle == INVALID_HANDLE_VALUE || rows.empty()) {
        return true;
    }
    // The half row a cut-short run left is ended, so the next row stands on its own.
    const std::string bytes = log.endLineFirst ? "\n" + rows : rows;
    DWORD written = 0;
    if (!WriteFile(log.handle, bytes.data(), DWORD(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        const DWORD code = GetLastError();
        error = "cannot write to the log file " + log.shownPath + ": " +
                ErrorWords(code == ERROR_SUCCESS ? ERROR_DISK_FULL : code) +
                "; the log stops here, and what it holds so far is kept";
        CloseLog(log);
        return false;
    }
    log.endLineFirst = false;
    return true;
}

void CloseLog(LogFile &log) {
    if (log.handle != INVALID_HANDLE_VALUE) {
        CloseHandle(log.handle);
        log.handle = INVALID_HANDLE_VALUE;
    }
}
