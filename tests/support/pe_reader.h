// A small reader of a PE32 or PE32+ (64-bit) file's headers and tables, taken from the file's
// bytes rather than from the loader, so the tests see the module as it ships.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> ReadFileBytes(const std::string &path);

struct PeSection {
    std::string name;
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
    uint32_t characteristics = 0;
};

struct PeExport {
    uint32_t ordinal = 0; // biased by the ordinal base, as a host passes it
    std::string name;     // empty for an export by ordinal only
    uint32_t rva = 0;
};

struct PeImport {
    std::string dll;
    std::vector<std::string> functions; // "#n" for an import by ordinal
    uint32_t addressTableRva = 0;       // where the loader writes their addresses, in order
};

// One leaf of the three-level resource tree; a named (not numbered) level reads as ~0u.
struct PeResource {
    uint32_t type = 0;
    uint32_t id = 0;
    uint32_t language = 0;
    uint32_t rva = 0;
    uint32_t size = 0;
};

struct PeImage {
    std::string error; // empty when the whole file was read
    uint16_t machine = 0;
    uint16_t characteristics = 0;
    uint32_t timeDateStamp = 0;
    uint16_t optionalMagic = 0;
    uint32_t entryPoint = 0;
    uint64_t imageBase = 0;
    uint32_t sizeOfImage = 0;
    uint16_t dllCharacteristics = 0;
    uint16_t subsystem = 0; // IMAGE_SUBSYSTEM_WINDOWS_GUI (2) or _CUI (3) for a program
    uint32_t dataDirectoryRva[16] = {};
    uint32_t dataDirectorySize[16] = {};
    std::vector<PeSection> sections;

    std::string exportName;
    uint32_t exportOrdinalBase = 0;
    uint32_t exportTimeDateStamp = 0;
    std::vector<PeExport> exports;
    std::vector<PeImport> imports;
    uint32_t relocationBlocks = 0;
    uint32_t relocationEntries = 0; // not counting the padding entries
    std::vector<PeResource> resources;
};

PeImage ReadPeImage(const std::vector<uint8_t> &file);

// The section holding rva, or nullptr.
const PeSection *SectionAt(const PeImage &image, uint32_t rva);
// The file bytes of [rva, rva + size), empty when they are not all in the file.
std::vector<uint8_t> BytesAt(const PeImage &image, const std::vector<uint8_t> &file, uint32_t rva,
                             uint32_t size);
