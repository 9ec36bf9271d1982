// kdview.exe run as a user runs it, without a graphical session (the test runs
// with DISPLAY unset): its command line, its refusal of unusable plug-ins in
// kdhost's very words, and the sentence that it needs a display.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "exit_codes.h"
#include "support/plugin_copy.h"
#include "support/processes.h"

namespace {

struct ViewCase {
    const char *what;
    std::string arguments;
    int code;
    std::string errors; // expected in standard error; empty: none at all
};

TEST(ViewExitCodes, BadCommandLinesAndNoDisplay) {
    const std::string bin = BuildDir() + "\\";
    const std::string snapshot = bin + "view_test-never.png";
    DeleteFileA(snapshot.c_str());
    const ViewCase cases[] = {
        {"an unknown option", "--bogus", kExitUsage,
         "kdview: unknown option '--bogus' (see --help)"},
        {"an option without its value", "--interval", kExitUsage, "--interval needs a value"},
        {"an interval too short", "--interval 5", kExitUsage, "--interval takes milliseconds"},
        {"an interval with a fraction", "--interval 100.5", kExitUsage,
         "--interval takes milliseconds"},
        {"a negative duration", "--duration -1", kExitUsage, "(0: until stopped)"},
        {"a value joined with '='", "--interval=5", kExitUsage, "--interval takes milliseconds"},
        {"an empty plug-in path", "--plugin=", kExitUsage, "--plugin needs a file name"},
        {"a flag given a value", "--help=yes", kExitUsage, "--help takes no value"},
        {"a size without a height", "--size 800", kExitUsage, "--size takes WIDTHxHEIGHT"},
        {"a size too small", "--size 100x100", kExitUsage, "--size takes WIDTHxHEIGHT"},
        {"a size that is no number", "--size axb", kExitUsage, "--size takes WIDTHxHEIGHT"},
        {"--after without --snapshot", "--after 3", kExitUsage, "give both"},
        {"a negative --after", "--snapshot x.png --after -1", kExitUsage, "--after takes seconds"},
        {"--snapshot with --duration", "--snapshot x.png --duration 3", kExitUsage,
         "leave out --duration"},
        {"a snapshot into no folder", "--snapshot \"" + bin + "nowhere\\x.png\"", kExitFileFailed,
         "there is no such folder"},
        {"a snapshot onto a folder", "--snapshot \"" + bin + "examples\"", kExitFileFailed,
         "it is a folder"},
        {"no display", "--duration 1", kExitNoDisplay, "kdview needs a graphical session"},
        {"no display: how to get one", "--snapshot \"" + snapshot + "\" --after 1", kExitNoDisplay,
         "start the monitor and kdview under one X server"},
        {"help", "--help", kExitOk, ""},
        {"the version", "--version", kExitOk, ""},
    };
    for (const ViewCase &c : cases) {
        SCOPED_TRACE(c.what);
        std::string output, errors;
        EXPECT_EQ(RunTool("kdview.exe", c.arguments, &output, &errors), c.code) << errors;
        EXPECT_NE(errors.find(c.errors), std::string::npos) << errors;
        EXPECT_EQ(errors.empty(), c.errors.empty()) << errors;
    }
    EXPECT_EQ(GetFileAttributesA(snapshot.c_str()), INVALID_FILE_ATTRIBUTES)
        << "a snapshot without a window";
}

// Without a window the advice fits the platform: under Wine an X display, and
// the monitor and kdview under one xvfb-run; on Windows (forced here by the
// test hook of RunsUnderWine) a
// desktop session, in Windows words only.
TEST(ViewExitCodes, NoDisplayAdviceFitsThePlatform) {
    const std::string snapshot = BuildDir() + "\\view_test-platform.png";
    const std::string snapshotArguments = "--snapshot \"" + snapshot + "\" --after 1";
    const char *wineWords = "wine|xvfb|display|prefix|x server";
    const struct {
        const char *what;
        const char *assumeWindows; // KD_ASSUME_WINDOWS, or nullptr for none
        std::string arguments;
        const char *present;
        const char *absent; // a pattern, matched without regard to case
    } cases[] = {
        {"under Wine, a window", nullptr, "--duration 1",
         "xvfb-run -a sh -c 'wine kdmonitor.exe --duration 30 & wine kdview.exe --snapshot out.png "
         "--after 5'",
         "signed-in"},
        {"under Wine, a snapshot", nullptr, snapshotArguments, "(under Wine: DISPLAY is not set)",
         "signed-in"},
        {"a hook set to anything but 1 changes nothing", "yes", "--duration 1", "xvfb-run",
         "signed-in"},
        {"on Windows, a window", "1", "--duration 1", "the desktop of a signed-in user", wineWords},
        {"on Windows, a snapshot", "1", snapshotArguments, "for a snapshot too", wineWords},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SetEnvironmentVariableA("KD_ASSUME_WINDOWS", c.assumeWindows);
        std::string errors;
        EXPECT_EQ(RunTool("kdview.exe", c.arguments, nullptr, &errors), kExitNoDisplay) << errors;
        EXPECT_NE(errors.find(c.present), std::string::npos) << errors;
        EXPECT_FALSE(std::regex_search(errors, std::regex(c.absent, std::regex::icase))) << errors;
    }
    // --help says the same: the xvfb-run advice only under Wine.
    const struct {
        const char *what;
        const char *assumeWindows;
        const char *present;
        const char *absent;
    } helps[] = {
        {"--help under Wine", nullptr, "xvfb-run -a sh -c 'wine kdmonitor.exe", "from the desktop"},
        {"--help on Windows", "1", "run it from the desktop", wineWords},
    };
    for (const auto &c : helps) {
        SCOPED_TRACE(c.what);
        SetEnvironmentVariableA("KD_ASSUME_WINDOWS", c.assumeWindows);
        std::string help;
        EXPECT_EQ(RunTool("kdview.exe", "--help", &help), kExitOk);
        EXPECT_NE(help.find(c.present), std::string::npos) << help;
        EXPECT_FALSE(std::regex_search(help, std::regex(c.absent, std::regex::icase))) << help;
    }
    SetEnvironmentVariableA("KD_ASSUME_WINDOWS", nullptr);
    EXPECT_EQ(GetFileAttributesA(snapshot.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ViewExitCodes, UnusablePluginsGetKdhostsSentence) {
    PluginCopy scratch("view unusable");
    ASSERT_TRUE(scratch.ok());
    scratch.WriteFile("text.dll", "not a module at all\r\n");
    // A DLL of the right bitness cut after its headers: only the loader can tell.
    std::ifstream built(BuiltPluginPath(), std::ios::binary);
    std::string head(1024, '\0');
    built.read(&head[0], std::streamsize(head.size()));
    scratch.WriteFile("cut.dll", head);
    const std::string bin = BuildDir() + "\\";
    const struct {
        const char *what;
        std::string plugin;
        const char *sentence;
    } cases[] = {
        {"no such file", bin + "nowhere.dll", "there is no such file"},
        {"a file that is no module", scratch.folder() + "\\text.dll", "is not a DLL"},
        {"a DLL cut short", scratch.folder() + "\\cut.dll", "it is a damaged DLL"},
        {"a program, not a DLL", bin + "kdmonitor.exe", "is a Windows program, not a DLL"},
        {"a plug-in without GetSourceDesc", bin + "partial_plugin.dll", "GetSourceDesc is missing"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string viewErrors, hostErrors;
        const std::string arguments = "--plugin \"" + c.plugin + "\"";
        EXPECT_EQ(RunTool("kdview.exe", arguments, nullptr, &viewErrors), kExitNoPlugin)
            << viewErrors;
        EXPECT_EQ(RunTool("kdhost.exe", arguments, nullptr, &hostErrors), kExitNoPlugin)
            << hostErrors;
        ASSERT_EQ(viewErrors.rfind("kdview: ", 0), 0u) << viewErrors;
        ASSERT_EQ(hostErrors.rfind("kdhost: ", 0), 0u) << hostErrors;
        EXPECT_EQ(viewErrors.substr(8), hostErrors.substr(8));
        EXPECT_NE(viewErrors.find(c.sentence), std::string::npos) << viewErrors;
        EXPECT_EQ(viewErrors.find("%1"), std::string::npos) << "the system's text with its gap";
    }
}

TEST(ViewHelp, ExplainsEveryOption) {
    std::string help;
    ASSERT_EQ(RunTool("kdview.exe", "--help", &help), 0);
    for (const char *option : {"--plugin PATH", "--interval MS", "--duration S", "--size WxH",
                               "--snapshot FILE", "--after S", "--version", "--help"}) {
        EXPECT_NE(help.find(std::string("  ") + option + " "), std::string::npos) << option;
    }
}

} // namespace
