// kdserve's hidden window: a top-level window that is never shown, so the
// end of the session (WM_QUERYENDSESSION, then WM_ENDSESSION at logoff and
// shutdown) reaches it; message-only where there is no desktop to make one
// on. Its class and title name the port, so kdhost --autostart finds it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

struct SessionEvents {
    // The session ends: called inside WM_ENDSESSION, which must not return
    // before the server is stopped, as the process may be ended right after.
    std::function<void()> sessionEnds;
    // WM_CLOSE: asked to stop, as by the stop event.
    std::function<void()> closeAsked;
};

// The window, or nullptr when none can be made; topLevel says which kind.
// events must outlive the window.
HWND CreateSessionWindow(uint16_t port, SessionEvents *events, bool &topLevel);
