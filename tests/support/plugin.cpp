// Host-side loading of the plug-in for the tests.
#include "plugin.h"

#include <cstring>

std::string BuildDir() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of('\\'));
}

std::string BuiltPluginPath() {
    return BuildDir() + "\\KelvoDyn.dll";
}

Plugin::Plugin(const std::string &path) : module_(LoadLibraryA(path.c_str())) {
    ResolveExports();
}

Plugin::Plugin(const std::wstring &path) : module_(LoadLibraryW(path.c_str())) {
    ResolveExports();
}

template <typename Fn> static Fn Export(HMODULE module, const char *name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

void Plugin::ResolveExports() {
    if (module_ != nullptr) {
        sourcesNum_ = Export<GetSourcesNumFn>(module_, "GetSourcesNum");
        sourceDesc_ = Export<GetSourceDescFn>(module_, "GetSourceDesc");
        sourceData_ = Export<GetSourceDataFn>(module_, "GetSourceData");
    }
}

Plugin::~Plugin() {
    Unload();
}

void Plugin::Unload() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
