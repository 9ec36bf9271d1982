// One unattended server (kdserve) per user and port: the names of the objects
// it holds, finding it, asking it to stop, and where it keeps its log. The
// names have no "Global\" prefix, so each session (each logged-on user) has
// its own, as the monitor's block does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Held by the kdserve serving the port for as long as it runs.
std::string InstanceMutexName(uint16_t port);
// Set to ask that kdserve to stop its server and end.
std::string InstanceStopEventName(uint16_t port);
// The class and title of its hidden window (where the session's end arrives).
extern const char kLauncherWindowClass[];
std::string LauncherWindowTitle(uint16_t port);

// The event a running 'kdhost --serve' stops on, named by its process id.
std::string ServeStopEventName(DWORD processId);

struct RunningInstance {
    bool running = false;
    DWORD processId = 0; // 0 when its window cannot be found
};

RunningInstance FindInstance(uint16_t port);

enum class StopOutcome {
    NotRunning, // nothing served the port
    Stopped,    // it stopped its server and ended when asked
    Ended,      // it did not in time, and was ended at once (its server with it)
    Running,    // it could not be stopped
};

// Asks the kdserve of the port to stop and waits up to waitMs for it to end;
// past that, ends it at once.
StopOutcome StopInstance(uint16_t port, DWORD waitMs);

// %LOCALAPPDATA%\KelvoDyn\kdserve-PORT.log, the log of the port's kdserve;
// the rotated one is kdserve-PORT.old.log.
std::wstring ServeLogPath(uint16_t port);
std::wstring OldServeLogPath(uint16_t port);
