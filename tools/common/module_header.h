// What a file offered as a plug-in is, read from its PE header alone: whether
// it is a DLL at all and which machine it is built for. A host can then say
// in words why the loader would refuse it, before it tries.
#pragma once

#include <cstdint>
#include <string>

enum class ModuleFile { Unreadable, NotPe, Program, Dll };

struct ModuleHeader {
    ModuleFile kind = ModuleFile::Unreadable;
    uint16_t machine = 0; // IMAGE_FILE_MACHINE_*, for Program and Dll
};

ModuleHeader ReadModuleHeader(const std::string &path);

// "32-bit", "64-bit" for this host's own bitness.
const char *HostBitness();

// 32 or 64: this host's own bitness as a number.
int HostBits();

// The build folder a host of this bitness uses ("x86", "x64").
const char *HostArch();

// Empty when a host of this bitness can load the file as a DLL; otherwise a
// sentence that names the file, what it is and what to use instead. `host`
// is the program's name as the user runs it ("kdhost").
std::string ModuleMismatch(const std::string &path, const ModuleHeader &header,
                           const std::string &host);
