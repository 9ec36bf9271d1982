// The DNS host name rather than the NetBIOS one: it is what a scrape
// configuration or a browser on another machine resolves.
#include "machine_name.h"

#include <windows.h>

#include "terminal_text.h"

std::string MachineName() {
    char name[256];
    DWORD size = sizeof name;
    if (!GetComputerNameExA(ComputerNameDnsHostname, name, &size) || size == 0) {
        return "";
    }
    return TerminalText(std::string(name, size));
}
