// Starting and stopping the project's own Windows programs from a test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct ChildProcess {
    PROCESS_INFORMATION info{};
    bool started = false;
};

// Starts "BuildDir()\program.exe" with the given arguments, sharing this console;
// a program given with its folder (a full path) is started from there. So for
// the other tools below.
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

// A tool run with its standard output and error read through pipes while it
// runs, as a script or a terminal would read them.
class CapturedTool {
  public:
    CapturedTool(const std::string &program, const std::string &arguments);
    ~CapturedTool(); // ends it at once if it still runs
    CapturedTool(const CapturedTool &) = delete;
    CapturedTool &operator=(const CapturedTool &) = delete;

    bool started() const {
        return child_.started;
    }
    // What it wrote so far, without the '\r' of text-mode line ends.
    std::string Output() const;
    std::string Errors() const;
    // Its exit code once it ended by itself, or -1 when it did not in time.
    int Wait(DWORD milliseconds);
    void Kill();

  private:
    struct Stream {
        HANDLE read = nullptr;
        std::thread reader;
        std::string text;
    };
    void StartReading(Stream &stream);
    void StopReading();

    ChildProcess child_;
    Stream out_, err_;
    mutable std::mutex mutex_;
    // Set once the child has ended or been ended: a pipe that still has no
    // writer-side close a few seconds later is given up on, so no test hangs.
    std::atomic<DWORD> stoppedAt_{0};
    std::atomic<bool> stopping_{false};
};

// Polls until the tool has written text to its standard output.
bool WaitForOutput(const CapturedTool &tool, const std::string &text, DWORD milliseconds = 20000);

// Starts kdmonitor.exe with these arguments and waits until it says it publishes;
// with no arguments (nullptr) starts nothing, for cases without a monitor.
::testing::AssertionResult StartMonitor(const char *arguments,
                                        std::unique_ptr<CapturedTool> &monitor,
                                        const std::string &program = "kdmonitor.exe");

// Runs a tool to its end with its output captured; its exit code, or -1 when
// it did not end in time (it is then ended at once).
int RunTool(const std::string &program, const std::string &arguments, std::string *output,
            std::string *errors = nullptr, DWORD milliseconds = 60000);
