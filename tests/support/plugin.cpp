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
    LoadPlugin(path, plugin_, error_);
}

Plugin::~Plugin() {
    Unload();
}

void Plugin::Unload() {
    UnloadPlugin(plugin_);
}

uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
