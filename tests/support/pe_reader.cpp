// Reads a PE32 or PE32+ file: DOS header, NT headers, sections, then the export, import,
// relocation and resource tables. Every read is bounds-checked; a damaged file
// gives an error text, never a crash.
#include "pe_reader.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>

std::vector<uint8_t> ReadFileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

namespace {

class Reader {
  public:
    Reader(const std::vector<uint8_t> &file, PeImage &image) : file_(file), image_(image) {}

    template <typename T> bool Read(uint32_t offset, T &out) {
        if (offset > file_.size() || file_.size() - offset < sizeof(T)) {
            return Fail("read past the end of the file");
        }
        std::memcpy(&out, file_.data() + offset, sizeof(T));
        return true;
    }
    template <typename T> bool ReadRva(uint32_t rva, T &out) {
        uint32_t offset;
        return OffsetOf(rva, offset) && Read(offset, out);
    }
    bool ReadString(uint32_t rva, std::string &out) {
        uint32_t offset;
        if (!OffsetOf(rva, offset)) {
            return false;
        }
        const void *end = std::memchr(file_.data() + offset, 0, file_.size() - offset);
        if (end == nullptr) {
            return Fail("unterminated string");
        }
        out.assign(reinterpret_cast<const char *>(file_.data() + offset),
                   static_cast<const char *>(end));
        return true;
    }
    bool OffsetOf(uint32_t rva, uint32_t &offset) {
        const PeSection *section = SectionAt(image_, rva);
        if (section == nullptr || rva - section->virtualAddress >= section->rawSize) {
            return Fail("address " + std::to_string(rva) + " is not backed by the file");
        }
        offset = section->rawOffset + (rva - section->virtualAddress);
        return true;
    }
    bool Fail(const std::string &why) {
        if (image_.error.empty()) {
            image_.error = why;
        }
        return false;
    }

  private:
    const std::vector<uint8_t> &file_;
    PeImage &image_;
};

// The fields both optional header layouts have, at their own offsets in each.
template <typename OptionalHeader>
void TakeOptionalHeader(const OptionalHeader &h, PeImage &image) {
    image.entryPoint = h.AddressOfEntryPoint;
    image.imageBase = h.ImageBase;
    image.sizeOfImage = h.SizeOfImage;
    image.dllCharacteristics = h.DllCharacteristics;
    image.subsystem = h.Subsystem;
    for (uint32_t i = 0; i < 16 && i < h.NumberOfRvaAndSizes; ++i) {
        image.dataDirectoryRva[i] = h.DataDirectory[i].VirtualAddress;
        image.dataDirectorySize[i] = h.DataDirectory[i].Size;
    }
}

bool ReadHeaders(Reader &r, PeImage &image) {
    IMAGE_DOS_HEADER dos;
    if (!r.Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) {
        return r.Fail("no DOS header");
    }
    uint32_t ntOffset = uint32_t(dos.e_lfanew);
    uint32_t signature;
    IMAGE_FILE_HEADER file;
    if (!r.Read(ntOffset, signature) || signature != IMAGE_NT_SIGNATURE ||
        !r.Read(ntOffset + sizeof signature, file)) {
        return r.Fail("no PE signature");
    }
    image.machine = file.Machine;
    image.characteristics = file.Characteristics;
    image.timeDateStamp = file.TimeDateStamp;
    uint32_t optionalOffset = ntOffset + sizeof signature + sizeof file;
    if (!r.Read(optionalOffset, image.optionalMagic)) {
        return false;
    }
    if (image.optionalMagic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        IMAGE_OPTIONAL_HEADER32 optional;
        if (!r.Read(optionalOffset, optional)) {
            return false;
        }
        TakeOptionalHeader(optional, image);
    } else if (image.optionalMagic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        IMAGE_OPTIONAL_HEADER64 optional;
        if (!r.Read(optionalOffset, optional)) {
            return false;
        }
        TakeOptionalHeader(optional, image);
    } else {
        return r.Fail("neither a PE32 nor a PE32+ optional header");
    }
    uint32_t sectionOffset = optionalOffset + file.SizeOfOptionalHeader;
    for (uint32_t i = 0; i < file.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER header;
        if (!r.Read(sectionOffset + i * sizeof header, header)) {
            return false;
        }
        PeSection section;
        section.name.assign(reinterpret_cast<const char *>(header.Name),
                            strnlen(reinterpret_cast<const char *>(header.Name), 8));
        section.virtualAddress = header.VirtualAddress;
        section.virtualSize = header.Misc.VirtualSize;
        section.rawOffset = header.PointerToRawData;
        section.rawSize = header.SizeOfRawData;
        section.characteristics = header.Characteristics;
        image.sections.push_back(section);
    }
    return true;
}

bool ReadExports(Reader &r, PeImage &image) {
    uint32_t rva = image.dataDirectoryRva[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (rva == 0) {
        return true;
    }
    IMAGE_EXPORT_DIRECTORY dir;
    if (!r.ReadRva(rva, dir) || !r.ReadString(dir.Name, image.exportName)) {
        return false;
    }
    image.exportOrdinalBase = dir.Base;
    image.exportTimeDateStamp = dir.TimeDateStamp;
    for (uint32_t i = 0; i < dir.NumberOfFunctions; ++i) {
        PeExport entry;
        entry.ordinal = dir.Base + i;
        if (!r.ReadRva(dir.AddressOfFunctions + 4 * i, entry.rva)) {
            return false;
        }
        if (entry.rva != 0) { // unused ordinals in a gap hold 0
            image.exports.push_back(entry);
        }
    }
    for (uint32_t i = 0; i < dir.NumberOfNames; ++i) {
        uint32_t nameRva;
        uint16_t index;
        std::string name;
        if (!r.ReadRva(dir.AddressOfNames + 4 * i, nameRva) ||
            !r.ReadRva(dir.AddressOfNameOrdinals + 2 * i, index) || !r.ReadString(nameRva, name)) {
            return false;
        }
        bool found = false;
        for (PeExport &entry : image.exports) {
            if (entry.ordinal == dir.Base + index) {
                entry.name = name;
                found = true;
            }
        }
        if (!found) {
            return r.Fail("export name " + name + " points at no function");
        }
    }
    return true;
}

bool ReadImports(Reader &r, PeImage &image) {
    uint32_t rva = image.dataDirectoryRva[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (uint32_t at = rva; rva != 0; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        if (!r.ReadRva(at, descriptor)) {
            return false;
        }
        if (descriptor.Name == 0) {
            return true;
        }
        PeImport dll;
        dll.addressTableRva = descriptor.FirstThunk;
        if (!r.ReadString(descriptor.Name, dll.dll)) {
            return false;
        }
        uint32_t thunk =
            descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
        // Entries are as wide as an address: 4 bytes in PE32, 8 in PE32+.
        const bool wide = image.optionalMagic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
        const uint64_t byOrdinal = wide ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
        for (;; thunk += wide ? 8 : 4) {
            uint32_t low = 0, high = 0;
            if (!r.ReadRva(thunk, low) || (wide && !r.ReadRva(thunk + 4, high))) {
                return false;
            }
            uint64_t entry = uint64_t(high) << 32 | low;
            if (entry == 0) {
                break;
            }
            std::string name;
            if (entry & byOrdinal) {
                name = "#" + std::to_string(entry & 0xFFFF);
            } else if (!r.ReadString(low + 2, name)) { // past the 16-bit hint
                return false;
            }
            dll.functions.push_back(name);
        }
        image.imports.push_back(dll);
    }
    return true;
}

bool ReadRelocations(Reader &r, PeImage &image) {
    uint32_t rva = image.dataDirectoryRva[IMAGE_DIRECTORY_ENTRY_BASERELOC];
    uint32_t size = image.dataDirectorySize[IMAGE_DIRECTORY_ENTRY_BASERELOC];
    for (uint32_t at = 0; at + sizeof(IMAGE_BASE_RELOCATION) <= size;) {
        IMAGE_BASE_RELOCATION block;
        if (!r.ReadRva(rva + at, block)) {
            return false;
        }
        if (block.SizeOfBlock < sizeof block || block.SizeOfBlock > size - at) {
            return r.Fail("relocation block of a bad size");
        }
        for (uint32_t e = sizeof block; e + 2 <= block.SizeOfBlock; e += 2) {
            uint16_t entry;
            if (!r.ReadRva(rva + at + e, entry)) {
                return false;
            }
            if ((entry >> 12) != IMAGE_REL_BASED_ABSOLUTE) {
                ++image.relocationEntries;
            }
        }
        ++image.relocationBlocks;
        at += block.SizeOfBlock;
    }
    return true;
}

// Walks one level of the resource tree; entries of the last level are leaves.
bool ReadResourceLevel(Reader &r, PeImage &image, uint32_t base, uint32_t offset, int level,
                       PeResource path) {
    IMAGE_RESOURCE_DIRECTORY dir;
    if (level > 2 || !r.ReadRva(base + offset, dir)) {
        return r.Fail("resource tree deeper than type, name and language");
    }
    uint32_t count = uint32_t(dir.NumberOfNamedEntries) + dir.NumberOfIdEntries;
    for (uint32_t i = 0; i < count; ++i) {
        IMAGE_RESOURCE_DIRECTORY_ENTRY entry;
        if (!r.ReadRva(base + offset + sizeof dir + i * sizeof entry, entry)) {
            return false;
        }
        uint32_t id = entry.NameIsString ? ~0u : entry.Id;
        (level == 0 ? path.type : level == 1 ? path.id : path.language) = id;
        if (entry.DataIsDirectory) {
            if (!ReadResourceLevel(r, image, base, entry.OffsetToDirectory, level + 1, path)) {
                return false;
            }
            continue;
        }
        IMAGE_RESOURCE_DATA_ENTRY data;
        if (level != 2 || !r.ReadRva(base + entry.OffsetToData, data)) {
            return r.Fail("resource data outside the language level");
        }
        path.rva = data.OffsetToData;
        path.size = data.Size;
        image.resources.push_back(path);
    }
    return true;
}

} // namespace

const PeSection *SectionAt(const PeImage &image, uint32_t rva) {
    for (const PeSection &section : image.sections) {
        uint32_t span = section.virtualSize ? section.virtualSize : section.rawSize;
        if (rva >= section.virtualAddress && rva - section.virtualAddress < span) {
            return &section;
        }
    }
    return nullptr;
}

std::vector<uint8_t> BytesAt(const PeImage &image, const std::vector<uint8_t> &file, uint32_t rva,
                             uint32_t size) {
    const PeSection *section = SectionAt(image, rva);
    if (section == nullptr) {
        return {};
    }
    uint32_t into = rva - section->virtualAddress;
    uint64_t offset = uint64_t(section->rawOffset) + into;
    if (uint64_t(into) + size > section->rawSize || offset + size > file.size()) {
        return {};
    }
    return std::vector<uint8_t>(file.begin() + offset, file.begin() + offset + size);
}

PeImage ReadPeImage(const std::vector<uint8_t> &file) {
    PeImage image;
    Reader r(file, image);
    if (ReadHeaders(r, image) && ReadExports(r, image) && ReadImports(r, image) &&
        ReadRelocations(r, image)) {
        uint32_t resources = image.dataDirectoryRva[IMAGE_DIRECTORY_ENTRY_RESOURCE];
        if (resources != 0) {
            ReadResourceLevel(r, image, resources, 0, 0, PeResource{});
        }
    }
    return image;
}
