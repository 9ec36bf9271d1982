// Wine is told by what its ntdll exports, not by the environment: a Windows
// program may well see a WINEPREFIX variable left in its environment.
#include "wine_host.h"

#include <windows.h>

namespace {

std::string Environment(const char *name) {
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    std::string value(size, '\0');
    DWORD length = size == 0 ? 0 : GetEnvironmentVariableA(name, &value[0], size);
    return length == 0 || length >= size ? "" : value.substr(0, length);
}

} // namespace

bool RunsUnderWine() {
    if (Environment("KD_ASSUME_WINDOWS") == "1") {
        return false;
    }
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string WinePrefix() {
    return Environment("WINEPREFIX");
}
