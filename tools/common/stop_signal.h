// Ctrl+C, Ctrl+Break and a closing console, for the tools that run until
// stopped: while a StopSignal lives, the console's handler sets its one event
// (and closes the window it was given), and the tool waits on that event.
#pragma once

#include <windows.h>

class StopSignal {
  public:
    // A name makes the event reachable by other processes ('kdmonitor --stop').
    explicit StopSignal(const char *name = nullptr);
    ~StopSignal();
    StopSignal(const StopSignal &) = delete;
    StopSignal &operator=(const StopSignal &) = delete;

    HANDLE event() const;
    // Also posts WM_CLOSE to this window when the console asks to stop.
    void CloseOnStop(HWND window);
};
