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
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return "a file of that name is there already";
    case ERROR_CANNOT_MAKE:
        return "the folder cannot take another file";
    case ERROR_DIRECTORY:
    case ERROR_BAD_PATHNAME:
        return "the folder name is not valid";
    case ERROR_INVALID_PARAMETER:
        return "the path is not one the system takes";
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
        return "the drive or device does not support it";
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
        return "the device reported an input/output error";
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
        return "the network path or device went away";
    case ERROR_DELETE_PENDING:
        return "the file is being deleted";
    case ERROR_FILE_TOO_LARGE:
        return "the file is too large";
    case ERROR_CANT_ACCESS_FILE:
    case ERROR_CANT_RESOLVE_FILENAME:
        return "the system cannot reach the file (a broken or looping link)";
    case ERROR_NOT_SAME_DEVICE:
        return "the file cannot be moved to another drive";
    case ERROR_OPERATION_ABORTED:
        return "the operation was cancelled";
    case kErrorIsDevice:
        return "it is a device (such as NUL, COM1 or a console), not a file";
    case kErrorIsPipe:
        return "it is a pipe, not a file";
    default:
        return "an unexpected system error (code " + std::to_string(code) + ")";
    }
}

std::string FileErrorWords(const std::string &path, DWORD code) {
    switch (KindOfPath(path)) {
    case PathKind::Folder:
        return "it is a folder";
    case PathKind::Device:
        return ErrorWords(kErrorIsDevice);
    case PathKind::Pipe:
        return ErrorWords(kErrorIsPipe);
    default:
        return ErrorWords(code);
    }
}
