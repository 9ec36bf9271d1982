// One thread waits on the stop event, the server's process and the window's
// messages at once; a pause before a start is the wait's time-out. The mutex
// is owned from the first line to the last, so a second kdserve for the port
// is refused and kdhost --autostart knows when this one has ended.
#include "launcher_loop.h"

#include <windows.h>

#include "exit_codes.h"
#include "module_header.h"
#include "option_values.h"
#include "restart_policy.h"
#include "serve_instance.h"
#include "server_child.h"
#include "server_end_words.h"
#include "session_window.h"

namespace {

// How long the server may take to stop when asked, before it is ended.
const DWORD kServerStopMs = 5000;

std::string Seconds(uint64_t milliseconds) {
    return std::to_string((milliseconds + 500) / 1000) + " s";
}

// Everything one run of kdserve holds.
struct Launcher {
    const LauncherSettings &settings;
    ServeLog &log;
    HANDLE mutex = nullptr;
    HANDLE stopEvent = nullptr;
    ServerChild child;
    DWORD childId = 0;
    uint64_t startedAt = 0;
    uint64_t nextStart = 0;
    RestartHistory history;
    bool finished = false;

    Launcher(const LauncherSettings &s, ServeLog &l)
        : settings(s), log(l), child([this](const std::string &line) { Note(line); }) {}

    void Note(const std::string &text) {
        WriteLogLine(log, text);
    }

    void StartServer() {
        const uint64_t now = GetTickCount64();
        std::string error;
        NoteStart(history, now);
        if (child.Start(settings.serverCommand, settings.folder, error)) {
            startedAt = now;
            childId = child.processId();
            Note("started kdhost --serve (process " + std::to_string(childId) + ")");
            return;
        }
        const uint64_t pause = PauseAfterEnd(history, now, now);
        nextStart = now + pause;
        Note("kdhost --serve " + error + "; trying again in " + Seconds(pause));
    }

    void ServerEnded() {
        const uint32_t code = child.Finish();
        const uint64_t now = GetTickCount64();
        const uint64_t pause = PauseAfterEnd(history, startedAt, now);
        nextStart = now + pause;
        Note("kdhost --serve (process " + std::to_string(childId) + ") " + ServerEndWords(code) +
             "; starting it again in " + Seconds(pause));
    }

    // Stops the server and says why; once, whichever asks first.
    void Finish(const std::string &why) {
        if (finished) {
            return;
        }
        finished = true;
        Note("stopping: " + why);
        if (child.running()) {
            const uint32_t code = child.Stop(kServerStopMs);
            Note("kdhost --serve (process " + std::to_string(childId) + ") " +
                 ServerEndWords(code));
        }
        Note("kdserve stopped");
        ReleaseMutex(mutex);
    }
};

bool PumpMessages(Launcher &launcher) {
    MSG message;
    while (!launcher.finished && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    return !launcher.finished;
}

// Waits for the next thing to do; false once the launcher is to stop.
bool WaitAndAct(Launcher &launcher) {
    HANDLE handles[2] = {launcher.stopEvent, launcher.child.process()};
    const DWORD count = launcher.child.running() ? 2 : 1;
    const uint64_t now = GetTickCount64();
    DWORD timeout = INFINITE;
    if (!launcher.child.running()) {
        timeout = launcher.nextStart > now ? DWORD(launcher.nextStart - now) : 0;
    }
    const DWORD result = MsgWaitForMultipleObjects(count, handles, FALSE, timeout, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) {
        launcher.Finish("asked to stop (by kdhost --autostart)");
        return false;
    }
    if (count == 2 && result == WAIT_OBJECT_0 + 1) {
        launcher.ServerEnded();
    } else if (result == WAIT_OBJECT_0 + count) {
        return PumpMessages(launcher);
    } else if (result == WAIT_TIMEOUT) {
        launcher.StartServer();
    } else if (result == WAIT_FAILED) {
        Sleep(100); // never spins: the next wait tries again
    }
    return true;
}

} // namespace

int RunLauncher(const LauncherSettings &settings, ServeLog &log,
                const std::function<void(const std::string &)> &sayToUser) {
    Launcher launcher(settings, log);
    launcher.mutex = CreateMutexA(nullptr, FALSE, InstanceMutexName(settings.port).c_str());
    const DWORD owned = launcher.mutex ? WaitForSingleObject(launcher.mutex, 0) : WAIT_FAILED;
    if (owned != WAIT_OBJECT_0 && owned != WAIT_ABANDONED) {
        const RunningInstance first = FindInstance(settings.port);
        const std::string text =
            "the server for port " + std::to_string(settings.port) + " runs already for this user" +
            (first.processId ? " (kdserve process " + std::to_string(first.processId) + ")"
                             : std::string()) +
            ", so this second start ends";
        launcher.Note(text);
        sayToUser("kdserve: " + text + "\n");
        if (launcher.mutex != nullptr) {
            CloseHandle(launcher.mutex);
        }
        return kExitAlreadyRunning;
    }
    launcher.stopEvent =
        CreateEventA(nullptr, TRUE, FALSE, InstanceStopEventName(settings.port).c_str());
    ResetEvent(launcher.stopEvent); // a request left from before this run is not for it
    // No error dialog of a crash may wait for a click that never comes.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    std::string version = VersionLine("kdserve");
    version.pop_back(); // its line end
    launcher.Note(version + " (" + HostBitness() + ", process " +
                  std::to_string(GetCurrentProcessId()) + ") started: it runs " +
                  settings.shownCommand + " and starts it again whenever it ends");

    SessionEvents events;
    events.sessionEnds = [&] { launcher.Finish("the session ends (logoff or shutdown)"); };
    events.closeAsked = [&] { SetEvent(launcher.stopEvent); };
    bool topLevel = false;
    HWND window = CreateSessionWindow(settings.port, &events, topLevel);
    if (!topLevel) {
        launcher.Note("there is no desktop to make a window on, so the end of the session is not "
                      "seen here; the server stops with the session all the same");
    }
    launcher.StartServer();
    while (WaitAndAct(launcher)) {
    }
    if (window != nullptr) {
        DestroyWindow(window);
    }
    CloseHandle(launcher.stopEvent);
    CloseHandle(launcher.mutex);
    return kExitOk;
}
