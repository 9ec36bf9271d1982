// Reads no more than the DOS header, the PE signature and the file header;
// every field is checked against what was read, so any file may be offered.
#include "module_header.h"

#include <windows.h>

#include <cstdio>

#include "file_access.h"

namespace {

constexpr bool kHost64 = sizeof(void *) == 8;
constexpr uint16_t kHostMachine = kHost64 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;

// All size bytes at offset, or false.
bool ReadWhole(HANDLE file, uint32_t offset, void *out, DWORD size) {
    DWORD read = 0;
    return ReadAt(file, offset, out, size, read) && read == size;
}

// How a user would name the machine a DLL is for.
std::string MachineName(uint16_t machine) {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
        return "32-bit";
    case IMAGE_FILE_MACHINE_AMD64:
        return "64-bit";
    case 0xAA64: // IMAGE_FILE_MACHINE_ARM64
        return "ARM64";
    case IMAGE_FILE_MACHINE_ARMNT:
    case IMAGE_FILE_MACHINE_ARM:
    case IMAGE_FILE_MACHINE_THUMB:
        return "32-bit ARM";
    case IMAGE_FILE_MACHINE_IA64:
        return "Itanium";
    default:
        char text[32];
        std::snprintf(text, sizeof text, "machine 0x%04X", unsigned(machine));
        return text;
    }
}

} // namespace

ModuleHeader ReadModuleHeader(const std::string &path) {
    ModuleHeader header;
    HANDLE file = OpenFile(path, FileAccess::Read);
    if (file == INVALID_HANDLE_VALUE) {
        return header;
    }
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER pe{};
    header.kind = ModuleFile::NotPe;
    if (ReadWhole(file, 0, &dos, sizeof dos) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
        dos.e_lfanew > 0 && ReadWhole(file, uint32_t(dos.e_lfanew), &signature, sizeof signature) &&
        signature == IMAGE_NT_SIGNATURE &&
        ReadWhole(file, uint32_t(dos.e_lfanew) + sizeof signature, &pe, sizeof pe)) {
        header.kind =
            (pe.Characteristics & IMAGE_FILE_DLL) != 0 ? ModuleFile::Dll : ModuleFile::Program;
        header.machine = pe.Machine;
    }
    CloseHandle(file);
    return header;
}

const char *HostBitness() {
    return kHost64 ? "64-bit" : "32-bit";
}

int HostBits() {
    return kHost64 ? 64 : 32;
}

const char *HostArch() {
    return kHost64 ? "x64" : "x86";
}

std::string ModuleMismatch(const std::string &path, const ModuleHeader &header,
                           const std::string &host) {
    const std::string self = "this " + host + " is " + HostBitness();
    switch (header.kind) {
    case ModuleFile::Unreadable:
    case ModuleFile::Dll:
        break;
    case ModuleFile::NotPe:
        return path + " is not a DLL: it is no Windows program file at all";
    case ModuleFile::Program:
        return path + " is a Windows program, not a DLL: a host loads only DLLs";
    }
    if (header.kind != ModuleFile::Dll || header.machine == kHostMachine) {
        return ""; // the loader has the last word
    }
    const char *other = kHost64 ? "x86" : "x64";
    if (header.machine == IMAGE_FILE_MACHINE_I386 || header.machine == IMAGE_FILE_MACHINE_AMD64) {
        return path + " is a " + MachineName(header.machine) + " DLL and " + self + ": a " +
               HostBitness() + " host needs the " + HostArch() + " build (" + HostArch() +
               "\\KelvoDyn.dll), or use " + other + "\\" + host + ".exe";
    }
    return path + " is a DLL for " + MachineName(header.machine) + " machines and " + self +
           ": it loads only DLLs of the " + HostArch() + " build";
}
