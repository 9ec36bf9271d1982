// Walks the import descriptors of a module mapped by the loader.
#include "import_table.h"

std::vector<Import> ListImports(HMODULE module) {
    std::vector<Import> imports;
    auto base = reinterpret_cast<const BYTE *>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32 *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return imports;
    }
    auto descriptor =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + directory.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor) {
        const char *dll = reinterpret_cast<const char *>(base + descriptor->Name);
        // The lookup table keeps the names; the address table is overwritten at load.
        DWORD lookup = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk
                                                      : descriptor->FirstThunk;
        auto slot = reinterpret_cast<void **>(const_cast<BYTE *>(base) + descriptor->FirstThunk);
        for (auto thunk = reinterpret_cast<const IMAGE_THUNK_DATA32 *>(base + lookup);
             thunk->u1.AddressOfData != 0; ++thunk, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL32(thunk->u1.Ordinal)) {
                imports.push_back(
                    {dll, "#" + std::to_string(IMAGE_ORDINAL32(thunk->u1.Ordinal)), slot});
            } else {
                auto byName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + thunk->u1.AddressOfData);
                imports.push_back({dll, reinterpret_cast<const char *>(byName->Name), slot});
            }
        }
    }
    return imports;
}
