// The codes a user meets when naming files and folders on a command line, and
// the few a named shared object gives.
#include "error_words.h"

#include "file_access.h"

std::string ErrorWords(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return "there is no such file";
    case ERROR_PATH_NOT_FOUND:
        return "there is no such folder";
    case ERROR_ACCESS_DENIED:
        return "access is denied";
    case ERROR_INVALID_DRIVE:
        return "there is no such drive";
    case ERROR_WRITE_PROTECT:
        return "the disk is write-protected";
    case ERROR_NOT_READY:
        return "the drive is not ready";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "another program is using it";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return "the disk is full";
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return "there is no such network path";
    case ERROR_INVALID_NAME:
        return "the name is not valid";
    case ERROR_FILENAME_EXCED_RANGE:
        return "the name is too long";
    case ERROR_INVALID_HANDLE:
        return "the name belongs to an object of another kind";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return "there is not enough memory";
    default:
        return "error " + std::to_string(code);
    }
}

std::string FileErrorWords(const std::string &path, DWORD code) {
    return KindOfPath(path) == PathKind::Folder ? "it is a folder" : ErrorWords(code);
}
