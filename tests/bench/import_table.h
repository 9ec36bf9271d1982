// The functions a loaded module imports, read from its own import table: what
// the module can call at all, whatever path its code takes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct Import {
    std::string module;   // as the import table names it, e.g. "KERNEL32.dll"
    std::string function; // or "#ordinal"
    void **slot;          // its entry in the import address table
};

std::vector<Import> ListImports(HMODULE module);
