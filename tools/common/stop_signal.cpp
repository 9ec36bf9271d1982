// The console's handler runs on a thread of its own, so it only sets the event
// and posts a message; the tool's own thread does the stopping.
#include "stop_signal.h"

namespace {

HANDLE g_stopEvent = nullptr;
HWND g_closeOnStop = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
    SetEvent(g_stopEvent);
    if (g_closeOnStop != nullptr) {
        PostMessageW(g_closeOnStop, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

} // namespace

StopSignal::StopSignal(const char *name) {
    g_stopEvent = CreateEventA(nullptr, TRUE, FALSE, name);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

StopSignal::~StopSignal() {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    if (g_stopEvent != nullptr) {
        CloseHandle(g_stopEvent);
    }
    g_stopEvent = nullptr;
    g_closeOnStop = nullptr;
}

HANDLE StopSignal::event() const {
    return g_stopEvent;
}

void StopSignal::CloseOnStop(HWND window) {
    g_closeOnStop = window;
}
