// Finds the plug-in file, loads it and resolves its exports, explaining failures.
#include "plugin_loader.h"

#include <vector>

#include "error_words.h"
#include "file_access.h"
#include "module_header.h"
#include "terminal_text.h"
#include "text_output.h"
#include "wide_path.h"

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

} // namespace

std::wstring ModulePath() {
    std::wstring wide(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &wide[0], DWORD(wide.size()));
        if (length == 0) {
            return L"";
        }
        if (length < wide.size()) {
            wide.resize(length);
            return wide;
        }
        if (wide.size() >= 32768) { // the longest path the system has
            return L"";
        }
        wide.resize(wide.size() * 2); // cut short: GetModuleFileNameW returned the buffer's size
    }
}

namespace {

std::string ProgramPath() {
    return PlainPath(ModulePath());
}

std::string ProgramName() {
    std::string exe = ProgramPath();
    std::string name = exe.substr(exe.find_last_of("\\/") + 1);
    return name.substr(0, name.rfind('.'));
}

// The loader appends ".dll" to a file name without an extension, which would
// load another file than the one named; a trailing dot tells it not to. A
// "\\?\" path is taken literally, dot included, so it is left alone.
std::wstring LoaderPath(const std::wstring &path) {
    const size_t name = path.find_last_of(L"\\/") + 1;
    return HasLongPathPrefix(path) || path.find(L'.', name) != std::wstring::npos ? path
                                                                                  : path + L'.';
}

} // namespace

bool PluginBeside(const std::wstring &programPath, std::string &path, std::string &error) {
    // Never a bare name: the loader would search the current folder and the PATH for it.
    std::string program = PlainPath(programPath);
    size_t slash = program.find_last_of("\\/");
    if (slash == std::string::npos) {
        error = "cannot find the folder this program lies in, where the plug-in KelvoDyn.dll "
                "is looked for (the system does not say); give the plug-in with --plugin PATH";
        return false;
    }
    path = program.substr(0, slash + 1) + "KelvoDyn.dll";
    return true;
}

bool DefaultPluginPath(std::string &path, std::string &error) {
    return PluginBeside(ModulePath(), path, error);
}

bool LoadPlugin(const std::string &path, LoadedPlugin &plugin, std::string &error) {
    plugin = LoadedPlugin();
    // A full path, so the loader takes this very file and not one found on the search path.
    plugin.path = FullPath(path);
    // The path as a terminal may show it: it comes from the command line.
    const std::string shown = ShownPath(plugin.path);
    if (KindOfPath(plugin.path) != PathKind::File) {
        const DWORD code = GetLastError();
        error = "cannot load " + shown + ": " + FileErrorWords(plugin.path, code);
        return false;
    }
    // The loader says only "bad EXE format" for a DLL of the other bitness.
    std::string mismatch = ModuleMismatch(shown, ReadModuleHeader(plugin.path), ProgramName());
    if (!mismatch.empty()) {
        error = mismatch;
        return false;
    }
    // The wide call reaches past 260 characters; the loader treats the file the same.
    plugin.module = LoadLibraryW(LoaderPath(WidePath(plugin.path)).c_str());
    if (plugin.module == nullptr) {
        DWORD code = GetLastError();
        // The system's own text for this one is "Bad EXE format for %1". The
        // header said a DLL of our bitness, so the rest of the file is at fault.
        error = "cannot load " + shown + ": " +
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
        error = shown + " is not a usable plug-in: " + JoinNames(missing) +
                (missing.size() == 1 ? " is missing" : " are missing");
        UnloadPlugin(plugin);
        return false;
    }
    return true;
}

bool LoadGivenOrDefaultPlugin(const std::string &path, LoadedPlugin &plugin, std::string &error) {
    std::string chosen = path;
    return (!chosen.empty() || DefaultPluginPath(chosen, error)) &&
           LoadPlugin(chosen, plugin, error);
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
