// The settings reader on its own, reading this test program's own .ini file:
// path derivation, and boolean words told apart from the caller's default,
// which the DLL's answers cannot show because its default is false.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/file_text.h"
#include "support/plugin_copy.h"

extern "C" {
#include "module/module_state.h"
#include "module/settings.h"
#include "module/settings_path.h"
}

namespace {

struct PathCase {
    const char *what;
    const char *module;
    const char *settings;
};

TEST(ReplaceExtension, PathTable) {
    const PathCase cases[] = {
        {"ordinary module", "C:\\A\\KelvoDyn.dll", "C:\\A\\KelvoDyn.ini"},
        {"no extension", "C:\\A\\plug", "C:\\A\\plug.ini"},
        {"dot only in a folder name", "C:\\A.B\\plug", "C:\\A.B\\plug.ini"},
        {"two dots in the file name", "C:\\A\\Kelvo.Dyn.dll", "C:\\A\\Kelvo.Dyn.ini"},
        {"forward slash is an ordinary character", "C:\\A\\b.c/plug", "C:\\A\\b.ini"},
        {"forward slash only", "C:/A.B/plug", "C:/A.ini"},
        {"dot before a drive colon", "a.b:plug", "a.b:plug.ini"},
        {"drive-relative file", "C:plug.dll", "C:plug.ini"},
        {"trailing dot", "C:\\A\\plug.", "C:\\A\\plug.ini"},
        {"dot as the first character", ".dll", ".ini"},
        {"empty path", "", ".ini"},
    };
    for (const PathCase &c : cases) {
        char path[272];
        lstrcpyA(path, c.module);
        ReplaceExtension(path, ".ini");
        EXPECT_STREQ(path, c.settings) << c.what;
    }
}

struct BoolCase {
    const char *what;
    const char *line; // the whole line in the section
    int expected;     // 1, 0, or -1 for the caller's default
};

// This program's own settings file: its path with ".ini".
class Reader : public ::testing::Test {
  protected:
    std::string file;
    void SetUp() override {
        g_hInstance = GetModuleHandleA(nullptr);
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        file = path;
        file = file.substr(0, file.rfind('.')) + ".ini";
    }
    void TearDown() override {
        DeleteFileA(file.c_str());
    }
    void Write(const std::string &bytes) {
        WriteFileText(file, bytes);
    }
    // Each case under both defaults, so a false word is told apart from no word.
    template <size_t N> void ExpectWords(const BoolCase (&cases)[N]) {
        for (const BoolCase &c : cases) {
            Write(std::string("[kelvodyn]\r\n") + (c.line ? c.line : "") + "\r\n");
            for (BOOL fallback : {FALSE, TRUE}) {
                BOOL expected = c.expected < 0 ? fallback : BOOL(c.expected);
                EXPECT_EQ(GetIniBool("Key", fallback), expected)
                    << c.what << ", default " << fallback;
            }
        }
    }
};

const BoolCase kBools[] = {
    {"yes", "Key=yes", 1},
    {"YES", "Key=YES", 1},
    {"Yes", "Key=Yes", 1},
    {"1", "Key=1", 1},
    {"true", "Key=true", 1},
    {"TRUE", "Key=TRUE", 1},
    {"True", "Key=True", 1},
    {"da (1251)", "Key=\xE4\xE0", 1},
    {"no", "Key=no", 0},
    {"NO", "Key=NO", 0},
    {"No", "Key=No", 0},
    {"0", "Key=0", 0},
    {"false", "Key=false", 0},
    {"FALSE", "Key=FALSE", 0},
    {"net (1251)", "Key=\xED\xE5\xF2", 0},
    {"2", "Key=2", -1},
    {"on", "Key=on", -1},
    {"off", "Key=off", -1},
    {"empty value", "Key=", -1},
    {"missing key", "Other=yes", -1},
    {"yes please: cut to 'yes pleas'", "Key=yes please", -1},
    {"ten characters starting with true", "Key=truetruetr", -1},
    {"da in UTF-8 bytes", "Key=\xD0\xB4\xD0\xB0", -1},
    {"01", "Key=01", -1},
};

TEST_F(Reader, BooleanWordsAgainstBothDefaults) {
    ExpectWords(kBools);
}

TEST_F(Reader, MissingFileAndSectionGiveTheDefault) {
    DeleteFileA(file.c_str());
    char out[8];
    EXPECT_EQ(GetIniString("Key", "fallback value", out, sizeof out), 7u) << "cut to 7";
    EXPECT_STREQ(out, "fallbac");
    EXPECT_EQ(GetIniBool("Key", TRUE), TRUE);
    Write("[other]\r\nKey=no\r\n");
    EXPECT_EQ(GetIniBool("Key", TRUE), TRUE) << "key in another section";
}

// This program is built with stack canaries: a settings path written past its
// buffer aborts it. A module path longer than the buffer must give defaults.
TEST_F(Reader, ModulePathLongerThanTheBuffer) {
    LongPathCopy copy(300);
    ASSERT_TRUE(copy.ok());
    HMODULE module = LoadLibraryW(copy.path().c_str());
    ASSERT_NE(module, nullptr);
    g_hInstance = module;
    char out[32];
    EXPECT_EQ(GetIniString("Temperature1", "KD temperature 1", out, sizeof out), 16u);
    EXPECT_STREQ(out, "KD temperature 1");
    EXPECT_EQ(GetIniBool("UseFahrenheit", TRUE), TRUE);
    FreeLibrary(module);
}

// Upper-case Cyrillic folds only where the ANSI code page is Windows-1251; this
// suite runs under a Russian locale (see tests/plugin/CMakeLists.txt).
class Cp1251 : public Reader {};

TEST_F(Cp1251, UpperCaseRussianWords) {
    ASSERT_EQ(GetACP(), 1251u) << "this suite needs LANG=ru_RU.UTF-8 under Wine";
    const BoolCase cases[] = {
        {"DA", "Key=\xC4\xC0", 1},
        {"Da", "Key=\xC4\xE0", 1},
        {"NET", "Key=\xCD\xC5\xD2", 0},
        {"Net", "Key=\xCD\xE5\xF2", 0},
        {"DAA is no word", "Key=\xC4\xC0\xC0", -1},
    };
    ExpectWords(cases);
}

} // namespace
