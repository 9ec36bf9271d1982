// The shipped KelvoDyn.dll as a file: its PE headers, export, import, relocation
// and resource tables read from the bytes, and its version resource read back
// through the platform's version functions.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <set>

#include "support/file_text.h"
#include "support/pe_reader.h"
#include "support/plugin.h"
#include "version_block.h"

namespace {

struct Built {
    std::vector<uint8_t> file = FileBytes(BuiltPluginPath());
    PeImage image = ReadPeImage(file);
};

const Built &Dll() {
    static const Built built;
    return built;
}

// The test program is built for the same bitness as the DLL beside it.
constexpr bool k64Bit = sizeof(void *) == 8;

bool Executable(const PeImage &image, uint32_t rva) {
    const PeSection *section = SectionAt(image, rva);
    return section != nullptr && (section->characteristics & IMAGE_SCN_MEM_EXECUTE) != 0;
}

TEST(PeFile, ReadsWhole) {
    ASSERT_FALSE(Dll().file.empty()) << BuiltPluginPath();
    EXPECT_EQ(Dll().image.error, "");
    EXPECT_EQ(Dll().image.machine, k64Bit ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(Dll().image.optionalMagic,
              k64Bit ? IMAGE_NT_OPTIONAL_HDR64_MAGIC : IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        << (k64Bit ? "PE32+" : "PE32");
}

struct FlagCase {
    const char *what;
    uint32_t field;
    uint32_t bit;
    bool set;
};

TEST(PeFile, HeaderFlags) {
    const PeImage &image = Dll().image;
    const FlagCase cases[] = {
        {"DLL", image.characteristics, IMAGE_FILE_DLL, true},
        {"executable image", image.characteristics, IMAGE_FILE_EXECUTABLE_IMAGE, true},
        {"32-bit machine", image.characteristics, IMAGE_FILE_32BIT_MACHINE, !k64Bit},
        {"relocations stripped", image.characteristics, IMAGE_FILE_RELOCS_STRIPPED, false},
        {"DYNAMICBASE", image.dllCharacteristics, IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, true},
        {"NXCOMPAT", image.dllCharacteristics, IMAGE_DLLCHARACTERISTICS_NX_COMPAT, true},
        // A 64-bit module may be placed anywhere in the whole address space.
        {"HIGH_ENTROPY_VA", image.dllCharacteristics, IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA,
         k64Bit},
    };
    for (const FlagCase &c : cases) {
        EXPECT_EQ((c.field & c.bit) != 0, c.set) << c.what << " in 0x" << std::hex << c.field;
    }
}

struct DirectoryCase {
    const char *what;
    int index;
    bool present;
};

TEST(PeFile, DataDirectories) {
    const DirectoryCase cases[] = {
        {"exports", IMAGE_DIRECTORY_ENTRY_EXPORT, true},
        {"imports", IMAGE_DIRECTORY_ENTRY_IMPORT, true},
        {"resources", IMAGE_DIRECTORY_ENTRY_RESOURCE, true},
        {"base relocations", IMAGE_DIRECTORY_ENTRY_BASERELOC, true},
        // 64-bit Windows walks a stack through the module by its unwind tables.
        {"unwind tables", IMAGE_DIRECTORY_ENTRY_EXCEPTION, k64Bit},
        {"debug information", IMAGE_DIRECTORY_ENTRY_DEBUG, false},
        {"thread-local storage", IMAGE_DIRECTORY_ENTRY_TLS, false},
        {"delay-load imports", IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT, false},
        {"bound imports", IMAGE_DIRECTORY_ENTRY_BOUND_IMPORT, false},
        {"managed code header", IMAGE_DIRECTORY_ENTRY_COM_DESCRIPTOR, false},
    };
    for (const DirectoryCase &c : cases) {
        EXPECT_EQ(Dll().image.dataDirectorySize[c.index] != 0, c.present) << c.what;
    }
}

// The loader may place the module anywhere: every absolute address is fixed up.
TEST(PeFile, RelocationsEntryPointAndSections) {
    const PeImage &image = Dll().image;
    EXPECT_GT(image.relocationBlocks, 0u);
    EXPECT_GT(image.relocationEntries, 0u);
    EXPECT_NE(image.entryPoint, 0u) << "the module's own entry routine";
    EXPECT_TRUE(Executable(image, image.entryPoint)) << "entry point outside the code";
    for (const PeSection &section : image.sections) {
        uint32_t writeExecute = IMAGE_SCN_MEM_WRITE | IMAGE_SCN_MEM_EXECUTE;
        EXPECT_NE(section.characteristics & writeExecute, writeExecute)
            << section.name << " is both writable and executable";
    }
}

// No link time anywhere: two builds of one commit are byte for byte the same.
TEST(PeFile, NoTimestamps) {
    EXPECT_EQ(Dll().image.timeDateStamp, 0u) << "file header";
    EXPECT_EQ(Dll().image.exportTimeDateStamp, 0u) << "export directory";
}

struct ExportCase {
    uint32_t ordinal;
    const char *name;
};

const ExportCase kExports[] = {{1, "GetSourceData"}, {2, "GetSourceDesc"}, {3, "GetSourcesNum"}};

TEST(Exports, TableByOrdinal) {
    const PeImage &image = Dll().image;
    EXPECT_EQ(image.exportName, "KelvoDyn.dll");
    EXPECT_EQ(image.exportOrdinalBase, 1u);
    ASSERT_EQ(image.exports.size(), std::size(kExports));
    for (size_t i = 0; i < std::size(kExports); ++i) {
        const ExportCase &c = kExports[i];
        const PeExport &seen = image.exports[i];
        EXPECT_EQ(seen.ordinal, c.ordinal) << c.name;
        EXPECT_EQ(seen.name, c.name) << "ordinal " << c.ordinal << ", plain undecorated name";
        EXPECT_TRUE(Executable(image, seen.rva)) << c.name << " is no code of the module";
    }
}

// What a host finds through the loader: one function under its name and its ordinal.
TEST(Exports, LoaderFindsEachByNameAndOrdinal) {
    HMODULE module = LoadLibraryA(BuiltPluginPath().c_str());
    ASSERT_NE(module, nullptr);
    std::set<FARPROC> distinct;
    for (const ExportCase &c : kExports) {
        FARPROC byName = GetProcAddress(module, c.name);
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(c.ordinal));
        EXPECT_NE(byName, nullptr) << c.name;
        EXPECT_EQ(byName, byOrdinal) << c.name << " @" << c.ordinal;
        distinct.insert(byName);
    }
    EXPECT_EQ(distinct.size(), std::size(kExports));
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(4)), nullptr) << "ordinal 4";
    FreeLibrary(module);
}

struct ImportRule {
    const char *dll;
    std::set<std::string> allowed;
};

// KERNEL32 and USER32 only, and of them only what the module has a use for:
// no heap, thread, timer, window or message of its own.
const ImportRule kImports[] = {
    {"KERNEL32.dll",
     {"CloseHandle", "DisableThreadLibraryCalls", "GetModuleFileNameA", "GetPrivateProfileStringA",
      "MapViewOfFile", "OpenFileMappingA", "UnmapViewOfFile", "lstrcatA", "lstrcmpiA", "lstrcpyA",
      "lstrcpynA", "lstrlenA"}},
    {"USER32.dll", {"IsWindow", "wsprintfA"}},
};

TEST(Imports, OnlyKernel32AndUser32) {
    const PeImage &image = Dll().image;
    ASSERT_EQ(image.imports.size(), std::size(kImports));
    for (const PeImport &dll : image.imports) {
        const ImportRule *rule = nullptr;
        for (const ImportRule &r : kImports) {
            rule = lstrcmpiA(r.dll, dll.dll.c_str()) == 0 ? &r : rule;
        }
        ASSERT_NE(rule, nullptr) << "imports from " << dll.dll;
        EXPECT_FALSE(dll.functions.empty()) << dll.dll;
        for (const std::string &function : dll.functions) {
            EXPECT_EQ(rule->allowed.count(function), 1u) << dll.dll << " " << function;
        }
    }
}

TEST(Resources, OnlyTheVersionResource) {
    const PeImage &image = Dll().image;
    ASSERT_EQ(image.resources.size(), 1u);
    const PeResource &resource = image.resources[0];
    EXPECT_EQ(resource.type, uint32_t(UINT_PTR(RT_VERSION)));
    EXPECT_EQ(resource.id, 1u);
    EXPECT_EQ(resource.language, uint32_t(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)));
}

struct StringCase {
    const char *key;
    const char *value; // nullptr: our own text, which must be there and not empty
};

// In the order they are stored.
const StringCase kStrings[] = {
    {"FileDescription", "KelvoDyn monitoring plugin for Zentavira"},
    {"FileVersion", "1, 0, 0, 1"},
    {"InternalName", nullptr},
    {"LegalCopyright", nullptr},
    {"LegalTrademarks", nullptr},
    {"OriginalFilename", "KelvoDyn.dll"},
    {"ProductName", "Zentavira"},
    {"ProductVersion", "2, 0, 15, 6"},
};

void ExpectString(const StringCase &c, const std::string &seen) {
    if (c.value != nullptr) {
        EXPECT_EQ(seen, c.value) << c.key;
    } else {
        EXPECT_FALSE(seen.empty()) << c.key;
    }
}

class VersionInfo : public testing::Test {
  protected:
    void SetUp() override {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(BuiltPluginPath().c_str(), &ignored);
        ASSERT_NE(size, 0u) << "no version resource found";
        data_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(BuiltPluginPath().c_str(), 0, size, data_.data()));
    }
    // The value at path, and its length as VerQueryValueA counts it.
    const void *Query(const char *path, UINT &length) {
        void *value = nullptr;
        length = 0;
        return VerQueryValueA(data_.data(), path, &value, &length) ? value : nullptr;
    }

    std::vector<char> data_;
};

TEST_F(VersionInfo, FixedPart) {
    UINT length;
    auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(Query("\\", length));
    ASSERT_NE(fixed, nullptr);
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    struct {
        const char *what;
        DWORD seen, expected;
    } cases[] = {
        {"signature", fixed->dwSignature, 0xFEEF04BD},
        {"file version 1.0", fixed->dwFileVersionMS, 0x00010000},
        {"file version .0.1", fixed->dwFileVersionLS, 0x00000001},
        {"product version 2.0", fixed->dwProductVersionMS, 0x00020000},
        {"product version .15.6", fixed->dwProductVersionLS, 0x000F0006},
        {"flags mask", fixed->dwFileFlagsMask, 0x17},
        {"flags", fixed->dwFileFlags, 0},
        {"operating system: 32-bit Windows", fixed->dwFileOS, VOS__WINDOWS32},
        {"file type: DLL", fixed->dwFileType, VFT_DLL},
        {"subtype", fixed->dwFileSubtype, 0},
        {"file date, high part", fixed->dwFileDateMS, 0},
        {"file date, low part", fixed->dwFileDateLS, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.seen, c.expected) << c.what;
    }
}

// The package carries the project's version in its name: it must be the DLL's.
TEST_F(VersionInfo, FileVersionIsTheProjectVersion) {
    UINT length;
    auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(Query("\\", length));
    ASSERT_NE(fixed, nullptr);
    char dotted[32];
    std::snprintf(dotted, sizeof dotted, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
                  fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                  fixed->dwFileVersionLS & 0xFFFF);
    EXPECT_STREQ(dotted, KD_PROJECT_VERSION);
}

TEST_F(VersionInfo, Translation) {
    UINT length;
    auto *words = static_cast<const WORD *>(Query("\\VarFileInfo\\Translation", length));
    ASSERT_NE(words, nullptr);
    ASSERT_EQ(length, 4u) << "exactly one language and code page";
    EXPECT_EQ(words[0], 0x0000) << "language: neutral";
    EXPECT_EQ(words[1], 0x04b0) << "code page: Unicode";
}

TEST_F(VersionInfo, EveryString) {
    for (const StringCase &c : kStrings) {
        UINT length;
        std::string path = std::string("\\StringFileInfo\\000004b0\\") + c.key;
        auto *text = static_cast<const char *>(Query(path.c_str(), length));
        if (text == nullptr) {
            ADD_FAILURE() << c.key << " missing";
            continue;
        }
        ExpectString(c, text);
    }
}

// The raw resource bytes: one string table, its strings in the stated order,
// nothing else between them.
TEST(VersionBlock, StringsInOrder) {
    const PeImage &image = Dll().image;
    ASSERT_EQ(image.resources.size(), 1u);
    std::string error;
    VersionNode root = ParseVersionBlock(
        BytesAt(image, Dll().file, image.resources[0].rva, image.resources[0].size), error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(root.key, "VS_VERSION_INFO");
    EXPECT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));
    const VersionNode *strings = ChildNamed(root, "StringFileInfo");
    ASSERT_NE(strings, nullptr);
    ASSERT_EQ(strings->children.size(), 1u) << "one string table";
    const VersionNode &table = strings->children[0];
    EXPECT_EQ(table.key, "000004b0");
    ASSERT_EQ(table.children.size(), std::size(kStrings));
    for (size_t i = 0; i < std::size(kStrings); ++i) {
        const VersionNode &entry = table.children[i];
        EXPECT_EQ(entry.key, kStrings[i].key) << "entry " << i;
        EXPECT_EQ(entry.type, 1) << entry.key << " is text";
        ExpectString(kStrings[i], entry.text);
    }
    const VersionNode *languages = ChildNamed(root, "VarFileInfo");
    ASSERT_NE(languages, nullptr);
    ASSERT_EQ(languages->children.size(), 1u);
    EXPECT_EQ(languages->children[0].key, "Translation");
    EXPECT_EQ(languages->children[0].value, (std::vector<uint8_t>{0x00, 0x00, 0xb0, 0x04}));
}

} // namespace
