// Every file is opened sharing reads and writes, so a tool never stands in the
// way of the program that writes it; a temporary file is named
// after the process, so two tools writing one file do not share it.
#include "file_access.h"

#include <algorithm>

#include "code_pages.h"
#include "error_words.h"
#include "wide_path.h"

namespace {

// A read of this size at a time: a settings file or a header in one or two.
constexpr DWORD kReadPiece = 4096;

// A handle only to ask what a path is: no access asked for (so a device or a
// pipe opens without waiting), and the flag that lets a folder be opened at all.
HANDLE OpenToAsk(const std::wstring &path) {
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// What an open handle is: a disk file (or folder), a device, a pipe.
PathKind KindOfHandle(HANDLE handle) {
    switch (GetFileType(handle)) {
    case FILE_TYPE_DISK:
        return PathKind::File;
    case FILE_TYPE_PIPE:
        return PathKind::Pipe;
    default: // FILE_TYPE_CHAR, and whatever else is no disk file
        return PathKind::Device;
    }
}

// The code OpenFile fails with for a kind that is no file; 0 for a file.
DWORD RefusalCode(PathKind kind) {
    return kind == PathKind::Device ? kErrorIsDevice
           : kind == PathKind::Pipe ? kErrorIsPipe
                                    : ERROR_SUCCESS;
}

bool WriteAll(HANDLE file, const std::string &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD piece = DWORD(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

PathKind KindOfPath(const std::string &path) {
    const std::wstring wide = WidePath(path);
    HANDLE handle = OpenToAsk(wide);
    if (handle != INVALID_HANDLE_VALUE) {
        const PathKind kind = KindOfHandle(handle);
        CloseHandle(handle);
        if (kind != PathKind::File) {
            return kind;
        }
    } else if (GetLastError() == ERROR_PIPE_BUSY) {
        return PathKind::Pipe; // every instance of it taken by other clients
    }
    // The attributes tell a folder, and a file that cannot be opened even so
    // (a console name among them: OpenFile asks its handle once more).
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return handle != INVALID_HANDLE_VALUE ? PathKind::File : PathKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

std::vector<FolderEntry> ListFolder(const std::string &folder) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(WidePath(folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") {
            entries.push_back(
                {WideToUtf8(name), (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return entries;
}

std::string FinalPath(const std::string &path) {
    HANDLE handle = OpenToAsk(WidePath(path));
    if (handle == INVALID_HANDLE_VALUE) {
        return "";
    }
    std::wstring final(MAX_PATH, L'\0');
    DWORD length =
        GetFinalPathNameByHandleW(handle, &final[0], DWORD(final.size()), FILE_NAME_NORMALIZED);
    if (length >= final.size()) {
        final.resize(length + 1);
        length =
            GetFinalPathNameByHandleW(handle, &final[0], DWORD(final.size()), FILE_NAME_NORMALIZED);
    }
    CloseHandle(handle);
    if (length == 0 || length >= final.size()) {
        return "";
    }
    final.resize(length);
    return PlainPath(final);
}

HANDLE OpenFile(const std::string &path, FileAccess access) {
    // Asked before the open, which for a serial port may already take the line.
    const DWORD refused = RefusalCode(KindOfPath(path));
    if (refused != ERROR_SUCCESS) {
        SetLastError(refused);
        return INVALID_HANDLE_VALUE;
    }
    const bool append = access == FileAccess::Append;
    // A file only read may even be deleted meanwhile: the reader keeps what it opened.
    HANDLE file =
        CreateFileW(WidePath(path).c_str(), GENERIC_READ | (append ? FILE_APPEND_DATA : 0),
                    FILE_SHARE_READ | FILE_SHARE_WRITE | (append ? 0 : FILE_SHARE_DELETE), nullptr,
                    append ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    // Asked again of what was opened: the path may have been replaced meanwhile,
    // and a console name opens only with access asked for.
    const DWORD opened =
        file == INVALID_HANDLE_VALUE ? ERROR_SUCCESS : RefusalCode(KindOfHandle(file));
    if (opened != ERROR_SUCCESS) {
        CloseHandle(file);
        SetLastError(opened);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

bool ReadAt(HANDLE file, uint64_t offset, void *out, DWORD size, DWORD &read) {
    OVERLAPPED at{};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(offset >> 32);
    read = 0;
    return ReadFile(file, out, size, &read, &at) != 0;
}

bool ReadWholeFile(const std::string &path, size_t maxBytes, std::string &bytes, DWORD &error) {
    bytes.clear();
    HANDLE file = OpenFile(path, FileAccess::Read);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    char buffer[kReadPiece];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0 &&
           bytes.size() <= maxBytes) {
        bytes.append(buffer, got);
    }
    error = ok ? 0 : GetLastError();
    ok = ok && bytes.size() <= maxBytes;
    CloseHandle(file);
    return ok;
}

bool ReadFileStart(const std::string &path, size_t maxBytes, std::string &bytes) {
    bytes.clear();
    HANDLE file = OpenFile(path, FileAccess::Read);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bytes.resize(maxBytes);
    DWORD got = 0;
    const bool ok = ReadFile(file, &bytes[0], DWORD(maxBytes), &got, nullptr) != 0;
    CloseHandle(file);
    bytes.resize(ok ? got : 0);
    return ok;
}

WriteOutcome WriteReplacing(const std::string &path, const std::string &bytes, bool replace,
                            std::string &why) {
    const PathKind kind = KindOfPath(path);
    if (kind == PathKind::Folder || RefusalCode(kind) != ERROR_SUCCESS) {
        why = FileErrorWords(path, RefusalCode(kind));
        return WriteOutcome::Failed;
    }
    if (kind == PathKind::File && !replace) {
        return WriteOutcome::Exists;
    }
    const std::wstring target = FullWidePath(WidePath(path));
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        why = FileErrorWords(path, GetLastError());
        return WriteOutcome::Failed;
    }
    // The temporary file is an inner detail: the clause speaks of the file asked for.
    auto fail = [&](const std::string &what) {
        const DWORD code = GetLastError();
        // A write that stops short without a code of its own found the disk full.
        why = what + " (" + ErrorWords(code == ERROR_SUCCESS ? ERROR_DISK_FULL : code) + ")";
        DeleteFileW(temporary.c_str());
        return WriteOutcome::Failed;
    };
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    if (!written) {
        const DWORD code = GetLastError();
        CloseHandle(file);
        SetLastError(code);
        return fail("writing the temporary file failed");
    }
    CloseHandle(file);
    // Without replace, a file that appeared meanwhile still makes the rename fail.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), flags)) {
        if (GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS) {
            DeleteFileW(temporary.c_str());
            return WriteOutcome::Exists;
        }
        return fail("the old file stays as it was; it may be open in another program");
    }
    return WriteOutcome::Written;
}
