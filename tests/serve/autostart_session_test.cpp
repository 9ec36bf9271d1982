// The end of a session and the next logon as the system itself delivers them,
// under an X server of the test's own (so kdserve's window is a real
// top-level one): Wine's 'wineboot -e' tells every top-level window that the
// session ends, then starts the user's Run values as a logon does.
#include <winsock2.h>

#include <windows.h>

#include <gtest/gtest.h>

#include "exit_codes.h"
#include "http_client.h"
#include "launcher_probe.h"
#include "serve_instance.h"
#include "support/processes.h"

namespace {

// Wine's session program: ends the session (-e) and processes the Run values.
const char kWineboot[] = "C:\\windows\\system32\\wineboot.exe";

std::string LogOf(uint16_t port) {
    char folder[MAX_PATH];
    GetEnvironmentVariableA("LOCALAPPDATA", folder, MAX_PATH);
    return std::string(folder) + "\\KelvoDyn\\kdserve-" + std::to_string(port) + ".log";
}

size_t Count(const std::string &text, const std::string &part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(AutostartSession, TheSessionsEndStopsItAndTheNextLogonStartsIt) {
    // Whatever the session's end tells console programs, this test goes on.
    SetConsoleCtrlHandler(nullptr, TRUE);
    ASSERT_EQ(RunTool("kdhost.exe", "--autostart remove", nullptr), kExitOk);
    const uint16_t port = FreePort();
    DeleteFileA(LogOf(port).c_str());
    std::string output;
    ASSERT_EQ(RunTool("kdhost.exe", "--autostart install --serve " + std::to_string(port), &output),
              kExitOk)
        << output;
    const std::string title = LauncherWindowTitle(port);
    ASSERT_NE(FindWindowA(kLauncherWindowClass, title.c_str()), nullptr)
        << "kdserve has a top-level window where there is a desktop";
    const DWORD before = LauncherProcess(port);
    const DWORD server = ServerProcess(port);
    ASSERT_NE(server, 0u);

    std::string said;
    ASSERT_EQ(RunTool(kWineboot, "-e", &said, &said, 60000), 0) << said;
    EXPECT_FALSE(ProcessRuns(before)) << "kdserve outlived the session";
    EXPECT_FALSE(ProcessRuns(server)) << "its server outlived the session";
    const std::string log = FileText(LogOf(port));
    EXPECT_NE(log.find(" stopping: the session ends (logoff or shutdown)\r\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find(" kdhost: stopped after answering "), std::string::npos)
        << "the server was stopped, not ended: " << log;

    // The logon that followed started the Run value again.
    EXPECT_TRUE(WaitUntil([&] { return HttpGet(port, "/metrics", 3000).status == 200; }, 30000))
        << FileText(LogOf(port));
    const DWORD after = LauncherProcess(port);
    EXPECT_NE(after, 0u);
    EXPECT_NE(after, before);
    EXPECT_EQ(Count(FileText(LogOf(port)), ") started: it runs "), 2u) << FileText(LogOf(port));

    ASSERT_EQ(RunTool("kdhost.exe", "--autostart remove", &output), kExitOk) << output;
    EXPECT_FALSE(ProcessRuns(after));
    EXPECT_EQ(RegisteredCommand(), L"");
}

} // namespace
