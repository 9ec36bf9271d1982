// The settings file's path comes from the module's file name as the plug-in
// forms it, with the plug-in's own extension rule.
#include "descriptor_reuse.h"

extern "C" {
#include "module/settings_file.h"
#include "module/settings_path.h"
}

namespace {

uint64_t Ticks(const FILETIME &time) {
    return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace

bool SameStamp(const FileStamp &a, const FileStamp &b) {
    return a.known && b.known && a.exists == b.exists && a.created == b.created &&
           a.written == b.written && a.size == b.size;
}

bool MayReuse(const KeptDescriptors &kept, const FileStamp &settings, uint64_t nowMs) {
    return kept.kept && SameStamp(kept.key.settings, settings) && nowMs >= kept.readAtMs &&
           nowMs - kept.readAtMs < kMaxDescriptorAgeMs;
}

bool CountsFit(const KeptDescriptors &kept, int32_t reported, uint16_t temps, uint16_t fans) {
    return kept.key.reported == reported && kept.key.temps == temps && kept.key.fans == fans;
}

FileStamp StampOfFile(const std::string &path) {
    FileStamp stamp;
    if (path.empty()) {
        return stamp;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        stamp.known = true;
        stamp.exists = true;
        stamp.created = Ticks(data.ftCreationTime);
        stamp.written = Ticks(data.ftLastWriteTime);
        stamp.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return stamp;
    }
    const DWORD error = GetLastError();
    // Not there is a state of its own; anything else (no access, a broken
    // share) tells nothing, and nothing is reused on it.
    stamp.known = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return stamp;
}

std::string SettingsFileOf(HMODULE module) {
    // A path too long for the plug-in to read a file at leaves it no file to
    // depend on; one cut here is left unnamed, and nothing is then reused.
    char path[1024];
    const DWORD length = GetModuleFileNameA(module, path, sizeof path - sizeof SETTINGS_EXTENSION);
    if (length == 0 || length >= sizeof path - sizeof SETTINGS_EXTENSION) {
        return "";
    }
    ReplaceExtension(path, SETTINGS_EXTENSION);
    return path;
}
