// kdhost --check-settings: the line scan on its own, table-driven over files
// with one mistake each, and the command as a user runs it on a file with
// many, on the shipped sample and on files it cannot read.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <sstream>

#include "exit_codes.h"
#include "settings_check.h"
#include "settings_scan.h"
#include "settings_words.h"
#include "support/file_text.h"
#include "support/host_output.h"
#include "support/plugin.h"
#include "support/plugin_copy.h"
#include "support/processes.h"

namespace {

// The report's sentences with their wrapped lines joined again.
std::string Joined(const std::string &report) {
    return std::regex_replace(report, std::regex("\n {8,9}"), " ");
}

struct ScanCase {
    const char *what;
    std::string file;
    int line;             // of the one note expected, or -1 for none
    const char *sentence; // a part of it
};

const ScanCase kScanCases[] = {
    {"a clean file", "[kelvodyn]\r\nUseFahrenheit=no\r\nTemperature1=CPU\r\n", -1, ""},
    {"spaces around the equals sign", "[kelvodyn]\r\n Fan #2 = x\r\n", 2, "never reads 'Fan #2'"},
    {"comments on lines of their own", "; c\r\n# c\r\n[kelvodyn]\r\n  ; c\r\nFan1=A\r\n", -1, ""},
    {"a byte-order mark", "\xEF\xBB\xBF[kelvodyn]\r\nFan1=A\r\n", 1, "UTF-8 byte-order mark"},
    {"UTF-16", "\xFF\xFE[\0k\0", 0, "UTF-16"},
    {"UTF-8 text", "[kelvodyn]\nFan1=\xC3\x9Cmlaut fan \xC2\xB0\n", 2,
     "shows as 'Fan1=\xC3\x83\xC5\x93mlaut fan \xC3\x82\xC2\xB0'"},
    {"ANSI text is no UTF-8",
     "[kelvodyn]\nFan1=L\xFC"
     "fter \xB0\n",
     -1, ""},
    {"a comment after a value", "[kelvodyn]\nTemperature1=CPU ; the cpu\n", 2,
     "'; the cpu' is part of Temperature1's value 'CPU ; the cpu'"},
    {"a hash comment", "[kelvodyn]\nTemperature1=CPU # the cpu\n", 2, "'# the cpu' is part"},
    {"a hash in a name", "[kelvodyn]\nFan1=Fan #2\n", -1, ""},
    {"a semicolon inside a word", "[kelvodyn]\nFan1=a;b\n", -1, ""},
    {"past 32", "[kelvodyn]\nTemperature33=x\n", 2, "numbered Temperature1 to Temperature32"},
    {"a leading zero", "[kelvodyn]\nFan01=x\n", 2, "numbered Fan1 to Fan32"},
    {"misspelt", "[kelvodyn]\nUseFarenheit=yes\n", 2, "did you mean UseFahrenheit?"},
    {"misspelt key of a source", "[kelvodyn]\nTemprature1=CPU\n", 2, "did you mean Temperature1?"},
    {"no key of ours", "[kelvodyn]\nColour=red\n", 2, "it reads only UseFahrenheit"},
    {"keys in any case", "[KelvoDyn]\nusefahrenheit=yes\nTEMPERATURE1=x\n", -1, ""},
    {"before any section", "Fan1=x\n[kelvodyn]\n", 1, "outside the [kelvodyn] section (before"},
    {"in another section", "[kelvodyn]\n[other]\nFan1=x\n", 3, "(in [other])"},
    {"a second section", "[kelvodyn]\nFan1=x\n[kelvodyn]\nFan2=y\n", 3, "the first (line 1)"},
    {"a key given twice", "[kelvodyn]\nFan1=x\nfan1=y\n", 3, "the first one, on line 2"},
    {"no equals sign", "[kelvodyn]\nTemperature1 CPU\n", 2, "is no setting"},
    {"a control character is shown escaped", "[kelvodyn]\nX\x1B[2J=1\n", 2, "'X\\e[2J'"},
};

TEST(SettingsScan, EachMistakeOnItsLine) {
    for (const ScanCase &c : kScanCases) {
        SettingsScan scan = ScanSettings(c.file);
        if (c.line < 0) {
            EXPECT_TRUE(scan.notes.empty()) << c.what << ": " << scan.notes[0].sentence;
            continue;
        }
        ASSERT_EQ(scan.notes.size(), 1u) << c.what;
        EXPECT_EQ(scan.notes[0].line, c.line) << c.what;
        EXPECT_NE(scan.notes[0].sentence.find(c.sentence), std::string::npos)
            << c.what << ": " << scan.notes[0].sentence;
    }
}

TEST(SettingsScan, KnowsTheLinesOfTheKeysItReads) {
    SettingsScan scan = ScanSettings("x=1\n[kelvodyn]\nfan2=a\nFan2=b\nTemperature32=c\n");
    EXPECT_EQ(scan.keyLines.size(), 2u);
    EXPECT_EQ(scan.keyLines["Fan2"], 3) << "the first, spelt as the plug-in spells it";
    EXPECT_EQ(scan.keyLines["Temperature32"], 5);
    EXPECT_EQ(SettingsKeys().size(), 65u) << "UseFahrenheit and 32 of each group";
}

// A settings file of this test's own, for the command and the report.
class SettingsFile : public ::testing::Test {
  protected:
    std::string path = BuildDir() + "\\settings_check_test.ini";
    void TearDown() override {
        DeleteFileA(path.c_str());
    }
    void Write(const std::string &bytes) {
        WriteFileText(path, bytes);
    }
};

// Values come from the profile reader: what is cut, equal or no word is decided
// on what the plug-in would get, not on the text.
TEST_F(SettingsFile, NamesAndTheUnitAsTheReaderGivesThem) {
    const struct {
        const char *what;
        std::string lines;
        const char *note; // nullptr: nothing to fix
        const char *listed;
        size_t fixes = 1;
    } cases[] = {
        {"a known word", "UseFahrenheit=TRUE\r\n", nullptr, "degrees Fahrenheit"},
        {"an unknown word", "UseFahrenheit=on\r\n", "'on' is no word", "degrees Celsius"},
        {"a word read only to 9 characters", "UseFahrenheit=yes please\r\n",
         "only its first 9 characters count: 'yes pleas'", "degrees Celsius"},
        {"an empty word keeps the default quietly", "UseFahrenheit=\r\n", nullptr, "Celsius"},
        {"a long name", "Temperature1=0123456789012345678901234567890123\r\n",
         "34 characters long; the plug-in shows only the first 31: "
         "'0123456789012345678901234567890'",
         "Temperature1  0123456789012345678901234567890\n"},
        {"a name of 100,000 characters, its length told whole",
         "Temperature1=" + std::string(100000, 'x') + "\r\n",
         "Temperature1 is 100000 characters long; the plug-in shows only the first 31",
         "Temperature1  xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n"},
        {"names equal once cut",
         "Fan1=0123456789012345678901234567890A\r\nFan2=0123456789012345678901234567890B\r\n",
         "like Fan1 (line 2)", "Fan2", 3},
        {"equal names", "Temperature1=amdgpu edge\r\nTemperature2=amdgpu edge\r\n",
         "Temperature2 is called 'amdgpu edge' like Temperature1 (line 2)", "Temperature2"},
        {"a temperature and a fan may share a name", "Temperature1=CPU\r\nFan1=CPU\r\n", nullptr,
         "Fan1          CPU\n"},
        {"quotes are the reader's", "Fan1=\"Case\"\r\n", nullptr, "Fan1          Case\n"},
        {"an empty name", "Fan1=\r\n", nullptr, "Fan1          (no name)\n"},
        {"a key given twice: the first is read", "Fan1=first\r\nfan1=second\r\n",
         "the first one, on line 2", "Fan1          first\n"},
    };
    for (const auto &c : cases) {
        Write(std::string("[kelvodyn]\r\n") + c.lines);
        size_t fixes = 99;
        const std::string report = SettingsReport("[kelvodyn]\r\n" + c.lines, path, fixes);
        EXPECT_EQ(fixes, c.note ? c.fixes : 0u) << c.what << "\n" << report;
        if (c.note) {
            EXPECT_NE(Joined(report).find(c.note), std::string::npos) << c.what << "\n" << report;
        }
        EXPECT_NE(report.find(c.listed), std::string::npos) << c.what << "\n" << report;
    }
}

TEST_F(SettingsFile, TheCommandReportsEveryMistakeWithItsLine) {
    Write("\xEF\xBB\xBF; written by hand\r\n"
          "[kelvodyn]\r\n"
          "UseFahrenheit=on\r\n"
          "Temperature1=CPU ; the cpu\r\n"
          "Temperature2=GPU\r\n"
          "Temperature3=GPU\r\n"
          "Temperature33=Spare\r\n");
    std::string output, errors;
    EXPECT_EQ(RunTool("kdhost.exe", "--check-settings \"" + path + "\"", &output, &errors), 1)
        << output << errors;
    const std::string text = Joined(output);
    for (const char *line : {"line 1: The file begins with a UTF-8 byte-order mark",
                             "line 3: UseFahrenheit='on' is no word",
                             "line 4: The profile reader has no comments after a value",
                             "line 6: Temperature3 is called 'GPU' like Temperature2 (line 5)",
                             "line 7: The plug-in never reads 'Temperature33'",
                             "Temperature1  CPU ; the cpu\n", "5 things to fix.\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << output;
    }
    EXPECT_EQ(errors, "");
}

TEST_F(SettingsFile, TheShippedSampleAndFilesItCannotRead) {
    std::string output, errors;
    EXPECT_EQ(RunTool("kdhost.exe",
                      "--check-settings \"" + BuildDir() + "\\examples\\KelvoDyn.ini\"", &output),
              0)
        << output;
    EXPECT_NE(output.find("Nothing to fix.\n"), std::string::npos) << output;
    EXPECT_NE(output.find("  Fan2          Case fan\n"), std::string::npos) << output;

    PluginCopy copy("check settings");
    ASSERT_TRUE(copy.ok());
    const std::string plugin = " --plugin \"" + copy.folder() + "\\KelvoDyn.dll\"";
    // No file beside the plug-in: the defaults apply, which is nothing to fix.
    EXPECT_EQ(RunTool("kdhost.exe", "--check-settings" + plugin, &output, &errors), kExitOk)
        << output << errors;
    EXPECT_NE(Unwrapped(output).find("There is no settings file beside the plug-in (" +
                                     copy.folder() + "\\KelvoDyn.ini): the defaults apply"),
              std::string::npos)
        << output;
    EXPECT_NE(Unwrapped(output).find("(KD temperature N, KD fan speed N), in degrees Celsius."),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("\nNothing to fix.\n"), std::string::npos) << output;
    EXPECT_EQ(errors, "");
    copy.WriteSettings(SettingsText({"Fan1=Beside the DLL"}));
    EXPECT_EQ(RunTool("kdhost.exe", "--check-settings" + plugin, &output, &errors), 0) << errors;
    EXPECT_NE(output.find("  Fan1          Beside the DLL\n"), std::string::npos) << output;

    // A pipe with a server that never writes: a read from it would wait for ever.
    const std::string pipe =
        "\\\\.\\pipe\\kd-check-settings-" + std::to_string(GetCurrentProcessId());
    HANDLE pipeServer = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE,
                                         PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    ASSERT_NE(pipeServer, INVALID_HANDLE_VALUE);
    const struct {
        const char *what;
        std::string arguments;
        int code;
        const char *error;
    } refusals[] = {
        {"no such file", "--check-settings \"" + path + ".none\"", kExitFileFailed,
         "there is no such file"},
        {"a folder", "--check-settings \"" + BuildDir() + "\"", kExitFileFailed, "it is a folder"},
        {"an empty name", "--check-settings=", kExitUsage, "not an empty one"},
        {"a file of more than 1 MiB", "--check-settings \"" + path + "\"", kExitFileFailed,
         "larger than 1 MiB"},
        // Devices: Wine's serial port and null device, Linux's endless one.
        {"NUL", "--check-settings NUL", kExitFileFailed, "it is a device (such as NUL"},
        {"NUL in device form", "--check-settings \\\\.\\NUL", kExitFileFailed, "it is a device"},
        {"a serial port", "--check-settings COM1", kExitFileFailed, "it is a device (such as NUL"},
        {"an endless device", "--check-settings Z:\\dev\\zero", kExitFileFailed, "it is a device"},
        {"a pipe", "--check-settings " + pipe, kExitFileFailed, "it is a pipe, not a file"},
        {"with --watch", "--check-settings --watch", kExitUsage, "takes only --plugin"},
    };
    Write(std::string((1 << 20) + 1, ';'));
    for (const auto &r : refusals) {
        // A read that waits on the device would show as no exit within the time.
        EXPECT_EQ(RunTool("kdhost.exe", r.arguments, &output, &errors, 20000), r.code) << r.what;
        EXPECT_NE(errors.find(r.error), std::string::npos) << r.what << ": " << errors;
        EXPECT_EQ(output.find("Nothing to fix"), std::string::npos) << r.what << ": " << output;
    }
    CloseHandle(pipeServer);
}

} // namespace
