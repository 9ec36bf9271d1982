// kdhost under hostile input, run as a user runs it: control characters in
// the settings file's names, a --log file that is not its own or cannot be
// written, devices and pipes given as files to every tool, and a plug-in of
// the default name in the current folder.
#include <gtest/gtest.h>

#include "exit_codes.h"
#include "support/fake_monitor.h"
#include "support/file_text.h"
#include "support/host_output.h"
#include "support/plugin_copy.h"
#include "support/processes.h"

namespace {

// Clears the screen and retitles the terminal, were it printed raw.
const std::string kHostileName = "\x1b[2J\x1b]0;x\x07";
const std::string kShownName = "\\e[2J\\e]0;x\\a";

TEST(HostHostileNames, ShowEscapedForPeopleAndExactInMachineFormats) {
    PluginCopy copy("host hostile names");
    ASSERT_TRUE(copy.ok());
    copy.WriteSettings(SettingsText({"Temperature1=" + kHostileName, "Fan1=a\x7f"
                                                                     "b"}));
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 45.5 --fans 900", monitor));
    const std::string plugin = "--plugin \"" + copy.folder() + "\\KelvoDyn.dll\"";

    const struct {
        const char *what;
        std::string arguments;
        std::string temperature; // how the first name must appear
        std::string fan;
        bool forPeople;
    } cases[] = {
        {"the table", plugin, kShownName + "  45.50", "a\\x7fb", true},
        {"the watch", plugin + " --watch --interval 100 --duration 0.5", kShownName + "  45.50",
         "a\\x7fb", true},
        {"JSON escapes by its own rules", plugin + " --json",
         "\"name\": \"\\u001b[2J\\u001b]0;x\\u0007\"",
         "\"name\": \"a\x7f"
         "b\"",
         false},
        {"CSV carries the bytes", plugin + " --csv", "0,temperature," + kHostileName + ",45.5,",
         "1,fan,a\x7f"
         "b,900,",
         false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string output;
        EXPECT_EQ(RunTool("kdhost.exe", c.arguments, &output), kExitOk) << output;
        EXPECT_NE(output.find(c.temperature), std::string::npos) << output;
        EXPECT_NE(output.find(c.fan), std::string::npos) << output;
        if (c.forPeople) {
            EXPECT_EQ(output.find_first_of("\x1b\x07\x7f"), std::string::npos)
                << "a control character reached the terminal";
        }
    }
}

TEST(HostHostileArguments, QuotedInputIsEscapedAndCutInMessages) {
    const std::string longText(20000, 'a');
    const struct {
        const char *what;
        const char *program;
        std::string arguments;
        int code;
        std::string shown; // in the message
    } cases[] = {
        {"an option that retitles the terminal", "kdhost.exe", "\"--\x1b]0;x\x07\"", kExitUsage,
         "unknown option '--\\e]0;x\\a'"},
        {"the same in kdview", "kdview.exe", "\"--\x1b]0;x\x07\"", kExitUsage,
         "unknown option '--\\e]0;x\\a'"},
        {"the same in kdmonitor", "kdmonitor.exe", "\"--\x1b]0;x\x07\"", kExitUsage,
         "unknown option '--\\e]0;x\\a'"},
        {"the same in kdserve", "kdserve.exe", "\"--\x1b]0;x\x07\"", kExitUsage,
         "kdserve: unknown option '--\\e]0;x\\a'"},
        {"a temperature that retitles the terminal", "kdmonitor.exe", "--temps \"4\x1b]0;x\x07\"",
         kExitUsage, "--temps: '4\\e]0;x\\a' is not a temperature"},
        {"a fan the same way", "kdmonitor.exe", "--fans \"9\x1b[2J\"", kExitUsage,
         "--fans: '9\\e[2J' is not a whole number"},
        {"a count the same way", "kdmonitor.exe", "--counts \"1,2,\x1b[2J\"", kExitUsage,
         "--counts: '\\e[2J' is not a count"},
        {"a 20000-character option", "kdhost.exe", "--" + longText, kExitUsage,
         "unknown option '--aaaa"},
        {"a 20000-character address", "kdhost.exe", "--serve " + longText + ":0", kExitUsage,
         "is not an IP address in full"},
        {"a 20000-character log path", "kdhost.exe", "--log " + longText + "\\x.csv",
         kExitFileFailed, "cannot open the log file"},
        {"a plug-in path with an escape", "kdhost.exe", "--plugin \"x\x1b[2J.dll\"", kExitNoPlugin,
         "x\\e[2J.dll: "},
        {"a settings path that retitles the terminal", "kdhost.exe",
         "--check-settings \"x\x1b]0;x\x07.ini\"", kExitFileFailed, "x\\e]0;x\\a.ini: "},
        {"a 30000-character settings path keeps its start and its end", "kdhost.exe",
         "--check-settings C:\\" + std::string(30000, 'p') + "\\end.ini", kExitFileFailed,
         "C:\\pppp"},
        {"the same path, cut in its middle", "kdhost.exe",
         "--check-settings C:\\" + std::string(30000, 'p') + "\\end.ini", kExitFileFailed,
         "ppp...ppp"},
        {"the same path's end, and the reason after it", "kdhost.exe",
         "--check-settings C:\\" + std::string(30000, 'p') + "\\end.ini", kExitFileFailed,
         "ppp\\end.ini: "},
        {"a snapshot path that retitles the terminal", "kdview.exe",
         "--snapshot \"nowhere\\x\x1b]0;x\x07.png\"", kExitFileFailed, "x\\e]0;x\\a.png: "},
        {"a third decimal the block cannot hold", "kdmonitor.exe", "--temps 45.5,1.005", kExitUsage,
         "--temps: '1.005' has more than two decimals"},
        {"--stop with a value to publish", "kdmonitor.exe", "--stop --temps 1", kExitUsage,
         "--temps does not go with it"},
        {"--stop after a source", "kdmonitor.exe", "--replay r.csv --stop", kExitUsage,
         "--replay does not go with it"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string output, errors;
        EXPECT_EQ(RunTool(c.program, c.arguments, &output, &errors), c.code) << errors;
        EXPECT_NE(errors.find(c.shown), std::string::npos) << errors;
        EXPECT_EQ(errors.find_first_of("\x1b\x07"), std::string::npos) << errors;
        EXPECT_LT(errors.size(), 2000u) << "quoted input was not cut";
    }
}

struct LogCase {
    const char *what;
    bool exists;
    std::string before; // the file's bytes before the run
    int code;
    bool appended; // false: the file must be left byte for byte as it was
};

TEST(HostLog, CreatesOrAppendsToItsOwnRecordingsOnlyAndSaysWhenItCannotWrite) {
    PluginCopy scratch("host log files");
    ASSERT_TRUE(scratch.ok());
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 45.5 --fans 900", monitor));
    const std::string header =
        "time,index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n";
    const std::string row = "2026-12-09T10:00:00.000,0,temperature,T,40,C,0,150,6\n";
    const LogCase cases[] = {
        {"a new file", false, "", kExitOk, true},
        {"an empty file", true, "", kExitOk, true},
        {"a recording", true, header + row, kExitOk, true},
        {"a recording saved with CR LF", true,
         "time,index,group,name,value,units,scaleMin,"
         "scaleMax,scaleDivisions\r\n",
         kExitOk, true},
        {"a recording cut mid-row", true, header + "2026-12-09T10:00:00.000,0,tempe", kExitOk,
         true},
        {"a user's notes", true, "shopping: milk, eggs\r\n", kExitFileKept, false},
        {"a recording without the time column", true, header.substr(5) + "0,fan,F,900\n",
         kExitFileKept, false},
        {"a header with one more column", true,
         header.substr(0, header.size() - 1) + ",extra\n" + row, kExitFileKept, false},
        {"the header alone, without its line end", true, header.substr(0, header.size() - 1),
         kExitFileKept, false},
    };
    int number = 0;
    for (const LogCase &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = scratch.folder() + "\\log" + std::to_string(++number) + ".csv";
        if (c.exists) {
            WriteFileText(path, c.before);
        }
        std::string output, errors;
        EXPECT_EQ(RunTool("kdhost.exe", "--log \"" + path + "\"", &output, &errors), c.code)
            << errors;
        const std::string after = FileText(path);
        if (!c.appended) {
            EXPECT_EQ(after, c.before) << "a file that is not a recording was changed";
            EXPECT_NE(errors.find("is no kdhost recording with this header"), std::string::npos)
                << errors;
            continue;
        }
        EXPECT_EQ(errors, "");
        const std::string expectedStart = c.before.empty() ? header : c.before;
        ASSERT_EQ(after.rfind(expectedStart, 0), 0u) << after;
        std::vector<std::string> added = Lines(after.substr(expectedStart.size()));
        // A cut-short row is ended first, so the new rows stand on lines of their own.
        if (!c.before.empty() && c.before.back() != '\n') {
            ASSERT_FALSE(added.empty());
            EXPECT_EQ(added.front(), "");
            added.erase(added.begin());
        }
        ASSERT_EQ(added.size(), 2u) << after;
        EXPECT_NE(added[0].find(",0,temperature,KD temperature 1,45.5,"), std::string::npos);
        EXPECT_NE(added[1].find(",1,fan,KD fan speed 1,900,"), std::string::npos);
    }
}

// A path that names no file is refused before anything is read or written:
// a read from a serial port or a pipe waits for ever, one from Z:\dev\zero
// never ends, and one from NUL is no file's content.
TEST(HostileFiles, DevicesAndPipesAreRefusedInEveryToolBeforeAnyRead) {
    const std::string pipe =
        "\\\\.\\pipe\\kd-hostile-files-" + std::to_string(GetCurrentProcessId());
    HANDLE pipeServer = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE,
                                         PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    ASSERT_NE(pipeServer, INVALID_HANDLE_VALUE);
    const std::string device = "it is a device (such as NUL, COM1 or a console), not a file";
    const std::string aPipe = "it is a pipe, not a file";
    const struct {
        const char *what;
        const char *program;
        std::string arguments;
        std::string error;
    } cases[] = {
        {"a recording on a serial port", "kdmonitor.exe", "--replay COM1",
         "cannot open the recording COM1: " + device},
        {"a recording that never ends", "kdmonitor.exe", "--replay Z:\\dev\\zero",
         "cannot open the recording Z:\\dev\\zero: " + device},
        {"a recording from a pipe", "kdmonitor.exe", "--replay " + pipe, aPipe},
        {"a recording from NUL", "kdmonitor.exe", "--replay NUL", device},
        {"a log on NUL", "kdhost.exe", "--log NUL", "cannot open the log file NUL: " + device},
        {"a log on a full device", "kdhost.exe", "--log Z:\\dev\\full", device},
        {"a log into a pipe", "kdhost.exe", "--log " + pipe, aPipe},
        {"a snapshot on NUL", "kdview.exe", "--snapshot NUL",
         "cannot write the snapshot NUL: " + device},
        {"a snapshot on a serial port", "kdview.exe", "--snapshot COM1", device},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string output, errors;
        // A read that waits on the device shows as no exit within the time.
        EXPECT_EQ(RunTool(c.program, c.arguments, &output, &errors, 20000), kExitFileFailed)
            << errors;
        EXPECT_NE(errors.find(c.error), std::string::npos) << errors;
        EXPECT_EQ(output.find("publishing"), std::string::npos) << output;
    }
    CloseHandle(pipeServer);
}

// A program run in a given current folder, with wide arguments; its exit code
// and what it printed (output and errors).
int RunFrom(const std::wstring &program, const std::string &folder, std::string &printed,
            const std::wstring &arguments = L"") {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const std::string printedPath = folder + "\\printed.txt";
    HANDLE file = CreateFileA(printedPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                              CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION info{};
    std::wstring line = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    int code = -1;
    const std::wstring current(folder.begin(), folder.end());
    if (CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                       current.c_str(), &startup, &info)) {
        if (WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0) {
            DWORD exit = 0;
            GetExitCodeProcess(info.hProcess, &exit);
            code = int(exit);
        } else {
            TerminateProcess(info.hProcess, 9);
        }
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(file);
    printed = FileText(printedPath);
    DeleteFileA(printedPath.c_str());
    return code;
}

// The long-path half of this lives in host_parts_test: Wine starts no program
// from a path of 260 characters or more, so it is checked on the path alone.
TEST(HostInstallPath, TheDefaultPlugInComesFromBesideTheProgramNeverTheCurrentFolder) {
    ASSERT_FALSE(BlockNameOpens()) << "these cases need no monitor running";
    // The current folder holds a DLL of the plug-in's name that must never be loaded.
    PluginCopy bait("host install bait");
    ASSERT_TRUE(bait.ok());
    ASSERT_TRUE(CopyFileA((BuildDir() + "\\partial_plugin.dll").c_str(),
                          (bait.folder() + "\\KelvoDyn.dll").c_str(), FALSE));
    PluginCopy install("host install"); // KelvoDyn.dll, with kdhost.exe copied beside it
    ASSERT_TRUE(install.ok());
    const std::string program = install.folder() + "\\kdhost.exe";
    ASSERT_TRUE(CopyFileA((BuildDir() + "\\kdhost.exe").c_str(), program.c_str(), FALSE));
    struct Removed {
        std::string path;
        ~Removed() {
            DeleteFileA(path.c_str());
        }
    } removed{program};

    const struct {
        const char *what;
        bool pluginBeside;
        int code;
        const char *printed; // expected in what it printed
    } cases[] = {
        // The real plug-in loads and, with no monitor, reports no sources.
        {"the plug-in beside it", true, kExitNo, "No sources: the plug-in reports 0."},
        {"no plug-in beside it", false, kExitNoPlugin,
         "host install\\KelvoDyn.dll: there is no such file"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.pluginBeside) {
            install.DeleteFile("KelvoDyn.dll");
        }
        std::string printed;
        EXPECT_EQ(RunFrom(std::wstring(program.begin(), program.end()), bait.folder(), printed),
                  c.code)
            << printed;
        EXPECT_EQ(printed.find("GetSourceDesc is missing"), std::string::npos)
            << "the DLL of the current folder was loaded: " << printed;
        EXPECT_NE(printed.find(c.printed), std::string::npos) << printed;
    }
}

// Run under Windows-1252, which has no Cyrillic: the tools take such a folder
// from their wide command line and the system's wide calls, while the plug-in
// (which looks for its settings through the ANSI path) cannot find its file
// there, and kdhost says so.
TEST(HostUnicodeFolder, AFolderOutsideTheAnsiCodePageLoadsButItsSettingsAreNotFound) {
    ASSERT_FALSE(BlockNameOpens()) << "these cases need no monitor running";
    ASSERT_EQ(GetACP(), 1252u);
    PluginCopy install("host unicode");
    ASSERT_TRUE(install.ok());
    const std::wstring base(install.folder().begin(), install.folder().end());
    const std::wstring folder = base + L"\\\u043a\u043b\u044e\u0447"; // "ключ"
    const std::string folderUtf8 = install.folder() + "\\\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87";
    struct Removed {
        std::wstring folder;
        ~Removed() {
            for (const wchar_t *file : {L"\\KelvoDyn.dll", L"\\kdhost.exe", L"\\KelvoDyn.ini"}) {
                DeleteFileW((folder + file).c_str());
            }
            RemoveDirectoryW(folder.c_str());
        }
    } removed{folder};
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << GetLastError();
    const std::string buildDir = BuildDir();
    const std::wstring built(buildDir.begin(), buildDir.end());
    for (const wchar_t *file : {L"\\KelvoDyn.dll", L"\\kdhost.exe"}) {
        ASSERT_TRUE(CopyFileW((built + file).c_str(), (folder + file).c_str(), FALSE));
    }
    const std::wstring settings = folder + L"\\KelvoDyn.ini";
    const std::string cannotFind = "The plug-in's folder has characters the ANSI code page (1252) "
                                   "lacks, and the plug-in looks for its settings file through "
                                   "an ANSI path: it cannot find " +
                                   folderUtf8 + "\\KelvoDyn.ini";
    const std::wstring besideIt = folder + L"\\kdhost.exe", fromBuild = built + L"\\kdhost.exe";
    const struct {
        const char *what;
        std::wstring program;
        std::wstring arguments;
        bool settingsFile;
        int code;
        std::string printed;
    } cases[] = {
        {"the plug-in beside kdhost", besideIt, L"", false, kExitNo,
         "No sources: the plug-in reports 0."},
        {"the plug-in by --plugin", fromBuild, L"--plugin \"" + folder + L"\\KelvoDyn.dll\"", false,
         kExitNo, "No sources: the plug-in reports 0."},
        {"no settings file: the defaults, as meant", besideIt, L"--check-settings", false, kExitOk,
         cannotFind},
        {"a settings file the plug-in never reads", besideIt, L"--check-settings", true, kExitNo,
         cannotFind},
        {"that file named", fromBuild, L"--check-settings \"" + settings + L"\"", true,
         kExitFileFailed, "the profile reader it uses takes only ANSI paths"},
        {"the diagnosis says it too", besideIt, L"--diagnose", false, kExitNo, cannotFind},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileW(settings.c_str());
        if (c.settingsFile) {
            HANDLE file =
                CreateFileW(settings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            DWORD written = 0;
            WriteFile(file, "[kelvodyn]\r\nFan1=x\r\n", 20, &written, nullptr);
            CloseHandle(file);
        }
        std::string printed;
        EXPECT_EQ(RunFrom(c.program, install.folder(), printed, c.arguments), c.code) << printed;
        EXPECT_NE(Unwrapped(printed).find(c.printed), std::string::npos) << printed;
        EXPECT_EQ(printed.find("the name is not valid"), std::string::npos) << printed;
    }
}

} // namespace
