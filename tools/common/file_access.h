// The tools' files, named by UTF-8 paths as the wide command line gives them
// and opened through the wide calls (wide_path.h), so no length or code page
// of a path is handled twice. The one place a tool opens, reads or writes a file:
// what a path names is asked here, and every open goes through OpenFile, where
// what an opened handle is (a disk file, a device, a pipe) can be told.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// What a path names now. Only a File is read or written: a read from a
// device (NUL, COM1, a console, Wine's Z:\dev\zero) or a pipe may wait for
// ever or never end.
enum class PathKind {
    Missing, // nothing, or nothing the caller may look at
    Folder,
    File,
    Device,
    Pipe,
};

// Asked through a handle that may neither read nor write, which opens a
// device or a pipe without waiting on it.
PathKind KindOfPath(const std::string &path);

// The codes OpenFile and WriteReplacing fail with (in GetLastError()) for a
// path that names something other than a file; ErrorWords has their words.
// Bit 29 marks a code as the application's own, never the system's.
constexpr DWORD kErrorIsDevice = 0x20000000u | 1;
constexpr DWORD kErrorIsPipe = 0x20000000u | 2;

struct FolderEntry {
    std::string name; // UTF-8
    bool folder = false;
};

// The entries of a folder, without "." and ".."; none when it cannot be read.
std::vector<FolderEntry> ListFolder(const std::string &folder);

// Where a path really leads (through links), as UTF-8 without the "\\?\"
// prefix; "" when the system cannot say.
std::string FinalPath(const std::string &path);

enum class FileAccess {
    Read,   // existing files only, shared with writers
    Append, // created when missing; writes land at the end, reads anywhere
};

// The opened file, or INVALID_HANDLE_VALUE with the reason in GetLastError():
// a device or a pipe is refused before anything is read from or written to it.
HANDLE OpenFile(const std::string &path, FileAccess access);

// Reads size bytes at offset, without moving the file's position; read says
// how many came (fewer at the end). False when the read fails.
bool ReadAt(HANDLE file, uint64_t offset, void *out, DWORD size, DWORD &read);

// The whole file, when it holds at most maxBytes. False with the system's
// code in error, or with error 0 when the file is larger.
bool ReadWholeFile(const std::string &path, size_t maxBytes, std::string &bytes, DWORD &error);

// What one read gives of the file's start, at most maxBytes: for files whose
// content is made at the read (the kernel's sensor files). False when it
// cannot be opened or read.
bool ReadFileStart(const std::string &path, size_t maxBytes, std::string &bytes);

enum class WriteOutcome { Written, Exists, Failed };

// Writes bytes to path through a temporary file beside it and a rename, so a
// reader never sees half a file and a failure leaves an existing one whole.
// Without replace an existing file is left alone (Exists). Failed comes with
// a clause in why (UTF-8, the path not in it): "it is a folder", "writing the
// temporary file failed (the disk is full)".
WriteOutcome WriteReplacing(const std::string &path, const std::string &bytes, bool replace,
                            std::string &why);
