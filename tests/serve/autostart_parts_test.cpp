// The plain parts behind the unattended server: command lines that split
// back exactly, the restart pauses and their bound per minute, the words for
// how a server ended, the log's rotation and lost lines, and which command
// lines --autostart and kdserve take. No monitor, no server.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "autostart_arguments.h"
#include "command_line_text.h"
#include "host_options.h"
#include "restart_policy.h"
#include "serve_log.h"
#include "server_end_words.h"
#include "support/plugin.h"
#include "text_output.h"

namespace {

// What the C runtime (CommandLineToArgvW's rules) makes of a command line.
std::vector<std::string> Split(const std::string &line) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR *split = CommandLineToArgvW(Utf8ToWide("prog.exe " + line).c_str(), &count);
    for (int i = 1; split != nullptr && i < count; ++i) {
        args.push_back(WideToUtf8(split[i]));
    }
    LocalFree(split);
    return args;
}

TEST(CommandLineText, EveryArgumentSplitsBackAsItWas) {
    const struct {
        const char *what;
        std::vector<std::string> args;
        const char *line; // nullptr: only the round trip is checked
    } cases[] = {
        {"plain words stay bare", {"--serve", "127.0.0.1:9876"}, "--serve 127.0.0.1:9876"},
        {"a path with spaces",
         {"C:\\Program Files\\KelvoDyn\\KelvoDyn.dll"},
         "\"C:\\Program Files\\KelvoDyn\\KelvoDyn.dll\""},
        {"a folder ending in a backslash", {"C:\\Program Files\\"}, "\"C:\\Program Files\\\\\""},
        {"backslashes without quoting stay single", {"C:\\a\\b.dll"}, "C:\\a\\b.dll"},
        {"an empty argument", {"", "x"}, "\"\" x"},
        {"a quote", {"say \"hi\""}, "\"say \\\"hi\\\"\""},
        {"backslashes before a quote", {"a\\\\\"b"}, nullptr},
        {"a tab", {"a\tb"}, nullptr},
        {"UTF-8 names", {"C:\\Users\\J\xC3\xBCrgen\\x y.dll", "\xD0\x9F"}, nullptr},
        {"only backslashes and a space", {"\\\\ \\\\"}, nullptr},
    };
    for (const auto &c : cases) {
        const std::string line = JoinArguments(c.args);
        if (c.line != nullptr) {
            EXPECT_EQ(line, c.line) << c.what;
        }
        EXPECT_EQ(Split(line), c.args) << c.what << ": " << line;
    }
}

// A crash loop simulated on the clock: each run lasts runs[i] ms; the pauses
// kdserve takes after each end.
std::vector<uint64_t> Pauses(const std::vector<uint64_t> &runs, std::vector<uint64_t> *starts) {
    RestartHistory history;
    std::vector<uint64_t> pauses;
    uint64_t now = 0;
    for (uint64_t run : runs) {
        NoteStart(history, now);
        if (starts != nullptr) {
            starts->push_back(now);
        }
        const uint64_t end = now + run;
        pauses.push_back(PauseAfterEnd(history, now, end));
        now = end + pauses.back();
    }
    return pauses;
}

TEST(RestartPolicy, PausesDoubleToAMinuteAndStartAgainAfterAHealthyRun) {
    const uint64_t quick = 100, healthy = kHealthyRunMs;
    const struct {
        const char *what;
        std::vector<uint64_t> runs;
        std::vector<uint64_t> pauses;
    } cases[] = {
        {"one end", {quick}, {1000}},
        {"quick ends double it", {quick, quick, quick, quick}, {1000, 2000, 4000, 8000}},
        // Starts at 0, 1.1, 3.2, 7.3 and 15.4 s: a sixth at 31.5 s would be the
        // sixth within a minute, so it waits until the first is a minute old.
        {"at most five starts a minute",
         {quick, quick, quick, quick, quick, quick},
         {1000, 2000, 4000, 8000, 44500, 32000}},
        {"never more than a minute",
         std::vector<uint64_t>(9, quick),
         {1000, 2000, 4000, 8000, 44500, 32000, 60000, 60000, 60000}},
        {"a run of a minute starts again after a second",
         {quick, quick, healthy, quick},
         {1000, 2000, 1000, 2000}},
        {"a long run after the longest pause",
         {quick, quick, quick, quick, quick, quick, healthy},
         {1000, 2000, 4000, 8000, 44500, 32000, 1000}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Pauses(c.runs, nullptr), c.pauses) << c.what;
    }
}

TEST(RestartPolicy, NoMinuteEverHoldsMoreThanFiveStarts) {
    // Crashes at once, after a healthy run, and everything between, mixed.
    std::vector<uint64_t> runs;
    for (int i = 0; i < 200; ++i) {
        const uint64_t lengths[] = {0, 10, 999, 30000, 59999, 60000, 61000};
        runs.push_back(lengths[(i * 7 + i / 3) % 7]);
    }
    std::vector<uint64_t> starts;
    Pauses(runs, &starts);
    for (size_t i = 0; i + kMaxStartsPerMinute < starts.size(); ++i) {
        EXPECT_GE(starts[i + kMaxStartsPerMinute] - starts[i], 60000u)
            << "starts " << i << " to " << i + kMaxStartsPerMinute << " within a minute";
    }
}

TEST(ServerEndWords, ExitCodesAndExceptions) {
    const struct {
        uint32_t code;
        const char *words;
    } cases[] = {
        {0, "ended with exit code 0"},
        {6, "ended with exit code 6"},
        {0x7FFFFFFF, "ended with exit code 2147483647"},
        {0xC0000005, "crashed: exception 0xC0000005 (access violation)"},
        {0xC00000FD, "crashed: exception 0xC00000FD (stack overflow)"},
        {0x80000003, "crashed: exception 0x80000003 (breakpoint)"},
        {0xE06D7363, "crashed: exception 0xE06D7363"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ServerEndWords(c.code), c.words) << c.code;
    }
}

// A folder of the test's own under the build's scratch folder, emptied first.
std::wstring ScratchFolder(const std::string &name) {
    const std::wstring root = Utf8ToWide(BuildDir() + "\\scratch");
    CreateDirectoryW(root.c_str(), nullptr);
    const std::wstring folder = root + L"\\" + Utf8ToWide(name);
    for (const wchar_t *file : {L"\\s.log", L"\\s.old.log", L"\\sub\\s.log"}) {
        DeleteFileW((folder + file).c_str());
    }
    RemoveDirectoryW((folder + L"\\sub").c_str());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::string FileText(const std::wstring &path) {
    std::ifstream in(WideToUtf8(path), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> FileLines(const std::wstring &path) {
    std::vector<std::string> lines;
    std::stringstream text(FileText(path));
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(ServeLog, LinesHaveTheirTimeAndTheFilesStayWithinTheirBound) {
    const std::wstring folder = ScratchFolder("serve-log-rotation");
    ServeLog log;
    log.path = folder + L"\\sub\\s.log"; // the folder is made by the first line
    log.oldPath = folder + L"\\sub\\s.old.log";
    log.maxBytes = 400;
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(WriteLogLine(log, "line " + std::to_string(i) +
                                          " \xC2\xB0"
                                          "C"));
    }
    const std::regex stamped("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} line (\\d+) "
                             "\xC2\xB0"
                             "C\r");
    int expected = -1;
    for (const std::wstring &path : {log.oldPath, log.path}) {
        EXPECT_LE(FileText(path).size(), log.maxBytes) << WideToUtf8(path);
        for (const std::string &line : FileLines(path)) {
            std::smatch number;
            ASSERT_TRUE(std::regex_match(line, number, stamped)) << line;
            if (expected >= 0) {
                EXPECT_EQ(std::stoi(number[1]), expected) << "lines in order, none missing";
            }
            expected = std::stoi(number[1]) + 1;
        }
    }
    EXPECT_EQ(expected, 40) << "the newest line last";
}

TEST(ServeLog, LinesThatCannotBeWrittenAreCountedNeverThrown) {
    const std::wstring folder = ScratchFolder("serve-log-lost");
    // A file where the log's folder would be: nothing can be written under it.
    std::ofstream(WideToUtf8(folder + L"\\s.log")) << "x";
    ServeLog log;
    log.path = folder + L"\\s.log\\s.log";
    log.oldPath = folder + L"\\s.log\\s.old.log";
    EXPECT_FALSE(WriteLogLine(log, "first"));
    EXPECT_FALSE(WriteLogLine(log, "second"));
    EXPECT_EQ(log.lost, 2u);
    log.path = folder + L"\\sub\\s.log";
    ASSERT_TRUE(WriteLogLine(log, "third"));
    const std::vector<std::string> lines = FileLines(log.path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(" (2 lines of this log could not be written)\r"), std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find(" third\r"), std::string::npos) << lines[1];
    EXPECT_EQ(log.lost, 0u);
}

TEST(ServeLog, AFullFileThatCannotBeMovedAsideLosesLinesNotItsBound) {
    const std::wstring folder = ScratchFolder("serve-log-held");
    ServeLog log;
    log.path = folder + L"\\s.log";
    log.oldPath = folder + L"\\s.old.log";
    log.maxBytes = 100;
    ASSERT_TRUE(WriteLogLine(log, std::string(60, 'a')));
    // A reader that does not let it be moved (no FILE_SHARE_DELETE).
    HANDLE reader = CreateFileW(log.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteLogLine(log, std::string(60, 'b')));
    EXPECT_LE(FileText(log.path).size(), log.maxBytes);
    CloseHandle(reader);
    ASSERT_TRUE(WriteLogLine(log, std::string(10, 'c')));
    EXPECT_NE(FileText(log.oldPath).find(std::string(60, 'a')), std::string::npos);
    const std::string now = FileText(log.path);
    EXPECT_NE(now.find("(1 line of this log could not be written)"), std::string::npos) << now;
    EXPECT_NE(now.find(std::string(10, 'c')), std::string::npos) << now;
}

std::vector<std::string> Words(const std::string &line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

TEST(AutostartOptions, InstallTakesWhatServingAtLogonTakesAndTheOthersNothing) {
    const struct {
        const char *line;
        const char *refusal; // "" when taken
    } cases[] = {
        {"--autostart install --serve 9876", ""},
        {"--autostart install --serve 0.0.0.0:9876 --plugin a.dll", ""},
        {"--autostart install --serve [::1]:9876 --duration 0", ""},
        {"--autostart show", ""},
        {"--autostart remove", ""},
        {"--autostart install", "--autostart install needs --serve [ADDR:]PORT"},
        {"--autostart install --plugin a.dll", "--autostart install needs --serve"},
        {"--autostart install --serve 0", "--autostart install needs a fixed port"},
        {"--autostart install --serve 9876 --duration 5", "so it takes no --duration"},
        {"--autostart install --serve 9876 --watch", "takes the options of --serve"},
        {"--autostart install --serve 9876 --json", "takes the options of --serve"},
        {"--autostart install --serve 9876 --interval 100", "takes the options of --serve"},
        {"--autostart install --serve 9876 --check-settings", "takes the options of --serve"},
        {"--autostart install --serve 99999", "--serve needs a port from 0 to 65535"},
        {"--autostart remove --serve 9876", "--autostart remove takes no other options"},
        {"--autostart show --plugin a.dll", "--autostart show takes no other options"},
        {"--autostart show --duration 0", "--autostart show takes no other options"},
        {"--autostart show --diagnose", "--autostart show takes no other options"},
        {"--autostart start", "--autostart takes install, remove or show, not 'start'"},
        {"--autostart", "--autostart needs a value"},
        {"--autostart show --autostart remove", "--autostart is given twice"},
    };
    for (const auto &c : cases) {
        std::string error;
        auto options = ParseHostOptions(Words(c.line), error);
        if (*c.refusal == '\0') {
            EXPECT_TRUE(options.has_value()) << c.line << ": " << error;
        } else {
            EXPECT_FALSE(options.has_value()) << c.line;
            EXPECT_NE(error.find(c.refusal), std::string::npos) << c.line << ": " << error;
        }
    }
}

TEST(AutostartOptions, TheRegisteredArgumentsReadBackAsTheSameServer) {
    std::string error;
    auto options = ParseHostOptions(Words("--serve [::1]:9876"), error);
    ASSERT_TRUE(options) << error;
    const std::string path = "C:\\Program Files\\Kelvo Dyn\\KelvoDyn.dll";
    auto again =
        ParseHostOptions(Split(JoinArguments(ServeArguments(options->listen, path))), error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(UnattendedServeProblem(*again, "kdserve"), "");
    EXPECT_EQ(again->listen.host, "::1");
    EXPECT_EQ(again->listen.port, 9876);
    EXPECT_EQ(again->pluginPath, path);
}

} // namespace
