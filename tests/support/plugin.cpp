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

Plugin::Plugin(const std::string &path) {
    module_ = LoadLibraryA(path.c_str());
    if (module_ != nullptr) {
        sourcesNum_ = reinterpret_cast<GetSourcesNumFn>(GetProcAddress(module_, "GetSourcesNum"));
        sourceDesc_ = reinterpret_cast<GetSourceDescFn>(GetProcAddress(module_, "GetSourceDesc"));
        sourceData_ = reinterpret_cast<GetSourceDataFn>(GetProcAddress(module_, "GetSourceData"));
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

long double Plugin::SourceDataAsReturned(uint32_t index) const {
    // Same register, same cdecl call: only the caller's reading of st(0) differs.
    using Raw = long double(__cdecl *)(uint32_t);
    return reinterpret_cast<Raw>(sourceData_)(index);
}

uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
