// Only top-level windows are told of the session's end; a message-only one
// still lets kdhost find the process and the tests send it those messages.
#include "session_window.h"

#include <string>

#include "serve_instance.h"

namespace {

LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *events = reinterpret_cast<SessionEvents *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE; // nothing to save: the session may end
    case WM_ENDSESSION:
        if (wParam != FALSE && events != nullptr && events->sessionEnds) {
            events->sessionEnds();
        }
        return 0;
    case WM_CLOSE:
        if (events != nullptr && events->closeAsked) {
            events->closeAsked();
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

HWND CreateSessionWindow(uint16_t port, SessionEvents *events, bool &topLevel) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SessionWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kLauncherWindowClass;
    RegisterClassA(&windowClass);
    const std::string title = LauncherWindowTitle(port);
    // WS_OVERLAPPED without WS_VISIBLE: a window of the desktop that never shows.
    HWND window =
        CreateWindowExA(WS_EX_TOOLWINDOW, kLauncherWindowClass, title.c_str(), WS_OVERLAPPED, 0, 0,
                        0, 0, nullptr, nullptr, windowClass.hInstance, nullptr);
    topLevel = window != nullptr;
    if (window == nullptr) {
        window = CreateWindowExA(0, kLauncherWindowClass, title.c_str(), 0, 0, 0, 0, 0,
                                 HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    }
    if (window != nullptr) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(events));
    }
    return window;
}
