// Wine is told by what its ntdll exports, not by the environment: a Windows
// program may well see a WINEPREFIX variable left in its environment.
#include "wine_host.h"

#include <windows.h>

namespace {

std::string Environment(const char *name) {
    char value[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length == 0 || length >= sizeof value ? "" : std::string(value, length);
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
