// The server started at logon, run as a user runs it, beside kdmonitor:
// kdhost --autostart install, the Run value it writes started as the logon
// starts it, /metrics scraped from it, its server killed and back, the end of
// the session, a second start refused, install twice, remove, and the log.
#include <winsock2.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "command_line_text.h"
#include "exit_codes.h"
#include "http_client.h"
#include "launcher_probe.h"
#include "serve_instance.h"
#include "support/pe_reader.h"
#include "support/plugin.h"
#include "support/processes.h"
#include "text_output.h"

namespace {

// A loopback port held by a listener of the test's own, as another program would.
struct HeldPort {
    SOCKET socket = INVALID_SOCKET;
    uint16_t port = 0;
    HeldPort() {
        socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        bind(socket, (sockaddr *)&address, sizeof address);
        listen(socket, 1);
        getsockname(socket, (sockaddr *)&address, &length);
        port = ntohs(address.sin_port);
    }
    ~HeldPort() {
        closesocket(socket);
    }
};

const char kMonitorReading[] = "kelvodyn_fan_rpm{index=\"3\",name=\"KD fan speed 2\"} 1200\n";

bool Serves(uint16_t port) {
    HttpReply reply = HttpGet(port, "/metrics", 5000);
    return reply.status == 200 && reply.body.find(kMonitorReading) != std::string::npos;
}

bool Answers(uint16_t port) {
    return HttpGet(port, "/", 3000).connected;
}

class Autostart : public ::testing::Test {
  protected:
    void SetUp() override {
        // The log goes where %LOCALAPPDATA% says: a folder of this test's own.
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::wstring scratch = Utf8ToWide(BuildDir() + "\\scratch");
        CreateDirectoryW(scratch.c_str(), nullptr);
        localAppData = scratch + L"\\appdata-" + Utf8ToWide(name);
        RemoveTree(localAppData);
        CreateDirectoryW(localAppData.c_str(), nullptr);
        wchar_t saved[4096];
        DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", saved, 4096);
        savedLocalAppData = length > 0 && length < 4096 ? std::wstring(saved, length) : L"";
        SetEnvironmentVariableW(L"LOCALAPPDATA", localAppData.c_str());
        ASSERT_EQ(RunTool("kdhost.exe", "--autostart remove", nullptr), kExitOk);
        ASSERT_TRUE(StartMonitor("--temps 45.5,52 --fans 900,1200,0", monitor));
        port = FreePort();
    }
    void TearDown() override {
        EXPECT_EQ(RunTool("kdhost.exe", "--autostart remove", nullptr), kExitOk);
        SetEnvironmentVariableW(L"LOCALAPPDATA",
                                savedLocalAppData.empty() ? nullptr : savedLocalAppData.c_str());
        RemoveTree(localAppData);
    }

    std::string LogPath(uint16_t p) const {
        return WideToUtf8(localAppData) + "\\KelvoDyn\\kdserve-" + std::to_string(p) + ".log";
    }
    std::string Log(uint16_t p) const {
        return FileText(LogPath(p));
    }
    bool LogSays(uint16_t p, const std::string &text, DWORD milliseconds = 20000) const {
        return WaitUntil([&] { return Log(p).find(text) != std::string::npos; }, milliseconds);
    }
    // Installs on the port; the exit code, with what it printed in output.
    int Install(const std::string &address, std::string &output, const std::string &more = "") {
        std::string errors;
        int code = RunTool("kdhost.exe", "--autostart install --serve " + address + " " + more,
                           &output, &errors);
        output += errors;
        return code;
    }

    std::unique_ptr<CapturedTool> monitor;
    std::wstring localAppData, savedLocalAppData;
    uint16_t port = 0;
};

TEST_F(Autostart, RegisteredCommandServesAsAtLogonComesBackAfterACrashAndIsRemoved) {
    const std::string address = "127.0.0.1:" + std::to_string(port);
    std::string output;
    ASSERT_EQ(Install(address, output), kExitOk) << output;
    const std::wstring command = RegisteredCommand();
    ASSERT_FALSE(command.empty()) << "no Run value after install: " << output;
    const std::string url = "http://" + address + "/";
    EXPECT_NE(output.find(WideToUtf8(command)), std::string::npos) << output;
    EXPECT_NE(output.find("started now: serving " + url), std::string::npos) << output;
    EXPECT_NE(output.find(LogPath(port)), std::string::npos) << output;

    // What the logon starts: kdserve.exe beside kdhost.exe, a Windows-subsystem program.
    const std::vector<std::wstring> args = SplitCommand(command);
    ASSERT_GE(args.size(), 3u);
    EXPECT_EQ(WideToUtf8(args[0]), BuildDir() + "\\kdserve.exe");
    const PeImage launcher = ReadPeImage(ReadFileBytes(WideToUtf8(args[0])));
    EXPECT_EQ(launcher.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI) << "no console window at logon";
    EXPECT_EQ(WideToUtf8(args[1]), "--serve");
    EXPECT_EQ(WideToUtf8(args[2]), address);
    EXPECT_TRUE(Serves(port)) << "install starts it at once";

    std::string shown;
    EXPECT_EQ(RunTool("kdhost.exe", "--autostart show", &shown), kExitOk) << shown;
    const DWORD first = LauncherProcess(port);
    ASSERT_NE(first, 0u);
    for (const std::string &line :
         {"registered: " + WideToUtf8(command) + "\n",
          "running:    yes, kdserve process " + std::to_string(first) + "\n",
          "serving:    " + url + " answers\n", "log:        " + LogPath(port) + "\n"}) {
        EXPECT_NE(shown.find(line), std::string::npos) << line << shown;
    }

    // The end of the session, as Windows tells a top-level window at logoff.
    HWND window = LauncherWindow(port);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                    5000, &answer));
    EXPECT_EQ(answer, TRUE) << "the session may end";
    const DWORD server = ServerProcess(port);
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 15000,
                        &answer);
    EXPECT_TRUE(WaitUntil([&] { return !ProcessRuns(first) && !ProcessRuns(server); }, 15000))
        << "kdserve and its server end with the session";
    EXPECT_FALSE(Answers(port));
    EXPECT_EQ(RegisteredCommand(), command) << "the registration stays for the next logon";
    EXPECT_EQ(RunTool("kdhost.exe", "--autostart show", &shown), kExitNo);
    EXPECT_NE(shown.find("running:    no"), std::string::npos) << shown;

    // The next logon.
    ASSERT_TRUE(StartAsAtLogon(command));
    ASSERT_TRUE(WaitUntil([&] { return Serves(port); }, 30000)) << Log(port);

    // A second start for the port is refused, and says why.
    std::vector<std::string> rest;
    for (size_t i = 1; i < args.size(); ++i) {
        rest.push_back(WideToUtf8(args[i]));
    }
    std::string errors;
    EXPECT_EQ(RunTool(WideToUtf8(args[0]), JoinArguments(rest), &output, &errors),
              kExitAlreadyRunning);
    EXPECT_NE(errors.find("kdserve: the server for port " + std::to_string(port) +
                          " runs already for this user (kdserve process " +
                          std::to_string(LauncherProcess(port)) + ")"),
              std::string::npos)
        << errors;

    // Its server crashes, twice in a row: back after 1 s, then after 2 s.
    for (const char *pause : {"in 1 s", "in 2 s"}) {
        const DWORD crashed = ServerProcess(port);
        ASSERT_NE(crashed, 0u);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, crashed);
        ASSERT_TRUE(TerminateProcess(process, 0xC0000005));
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        EXPECT_TRUE(WaitUntil([&] { return Serves(port); }, 30000)) << pause << ": " << Log(port);
        EXPECT_NE(ServerProcess(port), crashed);
        EXPECT_TRUE(LogSays(port, "kdhost --serve (process " + std::to_string(crashed) +
                                      ") crashed: exception 0xC0000005 (access violation); "
                                      "starting it again " +
                                      pause + "\r\n"))
            << Log(port);
    }

    const DWORD launcherNow = LauncherProcess(port), serverNow = ServerProcess(port);
    EXPECT_EQ(RunTool("kdhost.exe", "--autostart remove", &output), kExitOk) << output;
    EXPECT_NE(output.find("stopped the server on port " + std::to_string(port)), std::string::npos)
        << output;
    EXPECT_EQ(RegisteredCommand(), L"");
    EXPECT_FALSE(ProcessRuns(launcherNow)) << "kdserve is left running";
    EXPECT_FALSE(ProcessRuns(serverNow)) << "its kdhost --serve is left running";
    EXPECT_FALSE(Answers(port));
    EXPECT_EQ(RunTool("kdhost.exe", "--autostart show", &shown), kExitNo) << shown;

    // The log, a local time before each line: each start, the URL served, each
    // restart and why, and each stop.
    const std::string log = Log(port);
    std::istringstream lines(log);
    std::vector<std::string> texts;
    for (std::string line; std::getline(lines, line);) {
        std::smatch found;
        ASSERT_TRUE(std::regex_match(
            line, found, std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)\r")))
            << line;
        texts.push_back(found[1]);
    }
    const std::string sequence[] = {
        "kdserve " KD_PROJECT_VERSION " (",
        "started kdhost --serve (process ",
        "kdhost: serving " + url,
        "stopping: the session ends (logoff or shutdown)",
        "kdserve stopped",
        "kdserve " KD_PROJECT_VERSION " (",
        "kdhost: serving " + url,
        "runs already for this user",
        "crashed: exception 0xC0000005",
        "kdhost: serving " + url,
        "crashed: exception 0xC0000005",
        "kdhost: serving " + url,
        "stopping: asked to stop (by kdhost --autostart)",
        "kdhost: stopped after answering",
        "kdserve stopped",
    };
    size_t at = 0;
    for (const std::string &expected : sequence) {
        while (at < texts.size() && texts[at].find(expected) == std::string::npos) {
            ++at;
        }
        EXPECT_LT(at, texts.size()) << "no line with '" << expected << "' in its place:\n" << log;
    }
}

TEST_F(Autostart, InstallRefusesWhatServingRefusesAndChangesNothing) {
    const std::string bin = BuildDir() + "\\";
    HeldPort held;
    const std::string other = std::to_string(FreePort());
    const struct {
        const char *what;
        std::string options;
        int code;
        const char *said; // for usage errors; the others say what --serve says
    } cases[] = {
        {"no port", "", kExitUsage, "needs --serve"},
        {"port 0", "0", kExitUsage, "needs a fixed port"},
        {"a duration", other + " --duration 5", kExitUsage, "takes no --duration"},
        {"no such plug-in", other + " --plugin \"" + bin + "nowhere\\KelvoDyn.dll\"", kExitNoPlugin,
         nullptr},
        {"a plug-in without an export", other + " --plugin \"" + bin + "partial_plugin.dll\"",
         kExitNoPlugin, nullptr},
        {"a port another program holds", "127.0.0.1:" + std::to_string(held.port),
         kExitAddressInUse, nullptr},
        {"a multicast address", "224.0.0.1:" + other, kExitAddressUnusable, nullptr},
        {"another machine's address", "192.0.2.1:" + other, kExitAddressUnusable, nullptr},
    };
    auto refusals = [&](const char *when) {
        for (const auto &c : cases) {
            std::string output, errors;
            const std::string serve = c.options.empty() ? "" : " --serve " + c.options;
            EXPECT_EQ(RunTool("kdhost.exe", "--autostart install" + serve, &output, &errors),
                      c.code)
                << when << c.what << ": " << output << errors;
            if (c.said != nullptr) {
                EXPECT_NE(errors.find(c.said), std::string::npos) << c.what << ": " << errors;
                continue;
            }
            std::string served;
            EXPECT_EQ(RunTool("kdhost.exe", "--duration 1" + serve, nullptr, &served), c.code)
                << c.what;
            EXPECT_EQ(errors, served) << when << c.what << ": as --serve refuses it";
        }
    };
    refusals("with nothing registered: ");
    EXPECT_EQ(RegisteredCommand(), L"") << "a refused install registers nothing";

    std::string output;
    ASSERT_EQ(Install("127.0.0.1:" + std::to_string(port), output), kExitOk) << output;
    const std::wstring command = RegisteredCommand();
    refusals("over a registration: ");
    EXPECT_EQ(RegisteredCommand(), command) << "a refused install leaves the registration";
    EXPECT_TRUE(Serves(port)) << "and the server it registered";
}

TEST_F(Autostart, InstallingTwiceReplacesAndUndoesADisabledStart) {
    const uint16_t second = FreePort();
    std::string output;
    ASSERT_EQ(Install(std::to_string(port), output), kExitOk) << output;
    ASSERT_EQ(Install(std::to_string(port), output), kExitOk) << output;
    EXPECT_NE(output.find("stopped the server on port " + std::to_string(port)), std::string::npos)
        << "the same port again replaces the running server: " << output;
    const DWORD firstLauncher = LauncherProcess(port);

    // Task Manager's Startup tab turns the start off: an odd first byte.
    const BYTE disabled[12] = {3};
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                              L"StartupApproved\\Run",
                              kRunValue, REG_BINARY, disabled, sizeof disabled),
              ERROR_SUCCESS);
    std::string shown;
    RunTool("kdhost.exe", "--autostart show", &shown);
    EXPECT_NE(shown.find("disabled:   Task Manager's Startup tab has it disabled"),
              std::string::npos)
        << shown;

    ASSERT_EQ(Install("127.0.0.1:" + std::to_string(second), output), kExitOk) << output;
    EXPECT_NE(RegisteredCommand().find(L"--serve 127.0.0.1:" + std::to_wstring(second)),
              std::wstring::npos);
    // Every value of the Run key that starts kdserve: one, whatever its name.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    int ours = 0;
    wchar_t name[256], data[4096];
    for (DWORD index = 0, length = 256, bytes = sizeof data;
         RegEnumValueW(key, index, name, &length, nullptr, nullptr, (BYTE *)data, &bytes) ==
         ERROR_SUCCESS;
         ++index, length = 256, bytes = sizeof data) {
        ours +=
            std::wstring(data, bytes / sizeof(wchar_t)).find(L"kdserve.exe") != std::wstring::npos;
    }
    RegCloseKey(key);
    EXPECT_EQ(ours, 1) << "one registration, replaced";
    EXPECT_FALSE(ProcessRuns(firstLauncher)) << "the server it replaced is stopped";
    EXPECT_FALSE(Answers(port));
    EXPECT_TRUE(Serves(second));
    EXPECT_EQ(RunTool("kdhost.exe", "--autostart show", &shown), kExitOk) << shown;
    EXPECT_EQ(shown.find("disabled"), std::string::npos) << "install enables it again: " << shown;
}

TEST_F(Autostart, ARunValueInstallDidNotWriteIsShownAsSuchAndRemoved) {
    const struct {
        const char *what;
        const wchar_t *command;
        const char *said;
    } cases[] = {
        {"not a serve command", L"C:\\KelvoDyn\\kdserve.exe --watch", "needs --serve"},
        {"port 0", L"C:\\KelvoDyn\\kdserve.exe --serve 0", "needs a fixed port"},
        {"an unknown option", L"C:\\KelvoDyn\\kdserve.exe --serve 9876 --frobnicate",
         "unknown option '--frobnicate'"},
        {"an empty value", L"", "needs --serve"},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, REG_SZ, c.command,
                                  DWORD((wcslen(c.command) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        std::string shown, output;
        EXPECT_EQ(RunTool("kdhost.exe", "--autostart show", &shown), kExitNo) << c.what;
        EXPECT_NE(shown.find("that is no command kdhost --autostart install writes"),
                  std::string::npos)
            << c.what << ": " << shown;
        EXPECT_NE(shown.find(c.said), std::string::npos) << c.what << ": " << shown;
        EXPECT_EQ(RunTool("kdhost.exe", "--autostart remove", &output), kExitOk) << output;
        EXPECT_EQ(RegisteredCommand(), L"") << c.what;
    }
}

TEST_F(Autostart, ALogThatCannotBeWrittenNeverStopsTheServer) {
    // %LOCALAPPDATA% names a file: no folder, and no log, can be made under it.
    const std::wstring file = localAppData + L"\\not-a-folder";
    std::ofstream(WideToUtf8(file)) << "x";
    SetEnvironmentVariableW(L"LOCALAPPDATA", file.c_str());
    std::string output;
    ASSERT_EQ(Install(std::to_string(port), output), kExitOk) << output;
    EXPECT_TRUE(Serves(port));
    const DWORD crashed = ServerProcess(port);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, crashed);
    ASSERT_TRUE(TerminateProcess(process, 0xC0000005));
    CloseHandle(process);
    EXPECT_TRUE(WaitUntil([&] { return ServerProcess(port) != crashed && Serves(port); }, 30000))
        << "started again without its log";
    EXPECT_EQ(GetFileAttributesW((file + L"\\KelvoDyn").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
