// Starting and stopping the project's own Windows programs from a test.
#pragma once

#include <windows.h>

#include <string>

struct ChildProcess {
    PROCESS_INFORMATION info{};
    bool started = false;
};

// Starts "BuildDir()\program.exe" with the given arguments, sharing this console.
ChildProcess StartTool(const std::string &program, const std::string &arguments);
// Ends it at once, as a crash or a task manager would.
void KillProcess(ChildProcess &child);
// Waits for it to end by itself; its exit code, or -1 when it did not end in time.
int WaitForExit(ChildProcess &child, DWORD milliseconds);

// Polls condition every 20 ms until it holds or the time is up.
template <typename Condition> bool WaitUntil(Condition condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds) {
            return false;
        }
        Sleep(20);
    }
    return true;
}
