// Finds the plug-in file, loads it and resolves its exports, explaining failures.
#include "plugin_loader.h"

#include <vector>

#include "error_words.h"
#include "module_header.h"

namespace {

std::string SystemMessage(DWORD code) {
    char *text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char *>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "unknown error";
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message + " (error " + std::to_string(code) + ")";
}

// "A", "A and B", "A, B and C".
std::string JoinNames(const std::vector<std::string> &names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        text += i == 0 ? "" : i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// GetProcAddress's type says nothing of the real signature; going through the
// generic function pointer type says so to the compiler.
template <typename Function> Function FindExport(HMODULE module, const char *name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The running program's own file, and its name without ".exe" ("kdhost").
std::string ProgramPath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

std::string ProgramName() {
    std::string exe = ProgramPath();
    std::string name = exe.substr(exe.find_last_of("\\/") + 1);
    return name.substr(0, name.rfind('.'));
}

} // namespace

std::string FullPath(const std::string &path) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

std::string DefaultPluginPath() {
    std::string exe = ProgramPath();
    return exe.substr(0, exe.find_last_of("\\/") + 1) + "KelvoDyn.dll";
}

bool LoadPlugin(const std::string &path, LoadedPlugin &plugin, std::string &error) {
    plugin = LoadedPlugin();
    // A full path, so the loader takes this very file and not one found on the search path.
    plugin.path = FullPath(path);
    DWORD attributes = GetFileAttributesA(plugin.path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = "cannot load " + plugin.path + ": " + FileErrorWords(plugin.path, GetLastError());
        return false;
    }
    // The loader says only "bad EXE format" for a DLL of the other bitness.
    std::string mismatch =
        ModuleMismatch(plugin.path, ReadModuleHeader(plugin.path), ProgramName());
    if (!mismatch.empty()) {
        error = mismatch;
        return false;
    }
    plugin.module = LoadLibraryA(plugin.path.c_str());
    if (plugin.module == nullptr) {
        DWORD code = GetLastError();
        // The system's own text for this one is "Bad EXE format for %1". The
        // header said a DLL of our bitness, so the rest of the file is at fault.
        error = "cannot load " + plugin.path + ": " +
                (code == ERROR_BAD_EXE_FORMAT
                     ? "it is a damaged DLL (cut short, or its headers do not hold together), "
                       "which the loader refuses (error 193)"
                     : SystemMessage(code));
        return false;
    }
    plugin.sourcesNum = FindExport<GetSourcesNumFn>(plugin.module, "GetSourcesNum");
    plugin.sourceDesc = FindExport<GetSourceDescFn>(plugin.module, "GetSourceDesc");
    plugin.sourceData = FindExport<GetSourceDataFn>(plugin.module, "GetSourceData");
    std::vector<std::string> missing;
    if (plugin.sourcesNum == nullptr) {
        missing.push_back("GetSourcesNum");
    }
    if (plugin.sourceDesc == nullptr) {
        missing.push_back("GetSourceDesc");
    }
    if (plugin.sourceData == nullptr) {
        missing.push_back("GetSourceData");
    }
    if (!missing.empty()) {
        error = plugin.path + " is not a usable plug-in: " + JoinNames(missing) +
                (missing.size() == 1 ? " is missing" : " are missing");
        UnloadPlugin(plugin);
        return false;
    }
    return true;
}

void UnloadPlugin(LoadedPlugin &plugin) {
    if (plugin.module != nullptr) {
        FreeLibrary(plugin.module);
    }
    plugin.module = nullptr;
    plugin.sourcesNum = nullptr;
    plugin.sourceDesc = nullptr;
    plugin.sourceData = nullptr;
}
