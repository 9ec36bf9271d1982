// The scratch-program shape: one class, one window, one message loop. Each
// message goes to a small handler; only the timer reads the plug-in, and the
// picture is drawn into the back buffer when the data or the size changes,
// so WM_PAINT only copies it to the screen.
#include "view_window.h"

#include <windows.h>
#include <windowsx.h>

#include "back_buffer.h"
#include "block_copy.h"
#include "block_diagnosis.h"
#include "chart_painter.h"
#include "chart_text.h"
#include "exit_codes.h"
#include "png_file.h"
#include "source_snapshot.h"
#include "stop_signal.h"
#include "text_output.h"
#include "view_options.h"
#include "live_view_state.h"
#include "wine_host.h"

namespace {

const wchar_t kClassName[] = L"KdViewWindow";
constexpr UINT_PTR kReadTimer = 1, kEndTimer = 2;
constexpr int kMinTrackWidth = 260, kMinTrackHeight = 200;

struct View {
    const LoadedPlugin *plugin = nullptr;
    const ViewOptions *options = nullptr;
    LiveViewState state;
    std::string banner; // empty while there are sources
    std::string title;
    BackBuffer buffer;
    ViewFonts fonts;
    int exitCode = kExitOk;
    std::string error;
};

// A snapshot is drawn at the size asked for, whatever size the screen lets
// the window have: a screen smaller than the picture clips the window, never
// the picture. Only a window that is just looked at follows its own size.
bool DrawsSnapshot(const View &view) {
    return !view.options->snapshotPath.empty();
}

View *ViewOf(HWND window) {
    return reinterpret_cast<View *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void Render(View &view) {
    if (view.buffer.dc == nullptr) {
        return;
    }
    ViewPicture picture;
    picture.state = &view.state;
    picture.banner = view.banner;
    picture.capacity = view.state.historyLength;
    picture.intervalMs = view.options->intervalMs;
    PaintView(view.buffer.dc, view.buffer.width, view.buffer.height, view.fonts, picture);
}

// One reading of every source, as a host takes it on its own timer.
void ReadSources(HWND window, View &view) {
    Snapshot snapshot = TakeSnapshot(*view.plugin);
    AdvanceLiveView(view.state, snapshot);
    // The plug-in says nothing about why there are no sources; the block does.
    view.banner = view.state.sourcesNow
                      ? std::string()
                      : NoSourcesSentence(view.state, DiagnoseBlock(CopySharedBlock()).sentence);
    std::string title = WindowTitle(snapshot.sources.size());
    if (title != view.title) {
        view.title = title;
        SetWindowTextW(window, Utf8ToWide(title).c_str());
    }
}

BOOL OnNcCreate(HWND window, LPCREATESTRUCTW create) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return FORWARD_WM_NCCREATE(window, create, DefWindowProcW);
}

BOOL OnCreate(HWND window, LPCREATESTRUCTW) {
    View &view = *ViewOf(window);
    view.fonts = CreateViewFonts();
    const ViewOptions &options = *view.options;
    if (DrawsSnapshot(view) && !ResizeBackBuffer(view.buffer, options.width, options.height)) {
        view.exitCode = kExitFileFailed;
        view.error = "cannot draw the snapshot at " + std::to_string(options.width) + "x" +
                     std::to_string(options.height) +
                     " pixels: the system gives no picture that large (try a smaller --size)";
        return TRUE; // RunViewWindow closes the window
    }
    ReadSources(window, view); // the first picture already shows the sources
    Render(view);
    SetTimer(window, kReadTimer, view.options->intervalMs, nullptr);
    double endSeconds =
        options.snapshotPath.empty() ? options.durationSeconds : options.snapshotAfterSeconds;
    if (!options.snapshotPath.empty() || options.durationSeconds > 0) {
        SetTimer(window, kEndTimer, UINT(endSeconds * 1000.0 + 0.5), nullptr);
    }
    return TRUE;
}

void OnSize(HWND window, UINT state, int width, int height) {
    View &view = *ViewOf(window);
    if (state == SIZE_MINIMIZED || width <= 0 || height <= 0) {
        return; // keep the picture for when it is shown again
    }
    if (DrawsSnapshot(view)) {
        InvalidateRect(window, nullptr, FALSE);
        return;
    }
    if (width != view.buffer.width || height != view.buffer.height) {
        ResizeBackBuffer(view.buffer, width, height);
        Render(view);
        InvalidateRect(window, nullptr, FALSE);
    }
}

void OnPaint(HWND window) {
    View &view = *ViewOf(window);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const RECT &r = paint.rcPaint;
    if (view.buffer.dc != nullptr) {
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, view.buffer.dc, r.left, r.top,
               SRCCOPY);
    }
    EndPaint(window, &paint);
}

void OnTimer(HWND window, UINT id) {
    View &view = *ViewOf(window);
    if (id == kReadTimer) {
        ReadSources(window, view);
        Render(view);
        InvalidateRect(window, nullptr, FALSE);
        return;
    }
    KillTimer(window, kEndTimer);
    if (!view.options->snapshotPath.empty() &&
        !WritePng(view.buffer, view.options->snapshotPath, view.error)) {
        view.exitCode = kExitFileFailed;
    }
    DestroyWindow(window);
}

void OnGetMinMaxInfo(HWND, LPMINMAXINFO info) {
    info->ptMinTrackSize.x = kMinTrackWidth;
    info->ptMinTrackSize.y = kMinTrackHeight;
}

void OnDestroy(HWND window) {
    View &view = *ViewOf(window);
    KillTimer(window, kReadTimer);
    KillTimer(window, kEndTimer);
    FreeBackBuffer(view.buffer);
    DeleteViewFonts(view.fonts);
    PostQuitMessage(view.exitCode);
}

// The whole picture is redrawn from the back buffer: no erasing, no flicker.
BOOL OnEraseBkgnd(HWND, HDC) {
    return TRUE;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NCCREATE && ViewOf(window) == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        HANDLE_MSG(window, WM_NCCREATE, OnNcCreate);
        HANDLE_MSG(window, WM_CREATE, OnCreate);
        HANDLE_MSG(window, WM_SIZE, OnSize);
        HANDLE_MSG(window, WM_PAINT, OnPaint);
        HANDLE_MSG(window, WM_TIMER, OnTimer);
        HANDLE_MSG(window, WM_GETMINMAXINFO, OnGetMinMaxInfo);
        HANDLE_MSG(window, WM_ERASEBKGND, OnEraseBkgnd);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Under Wine a window needs an X display, both for this program and for the
// Wine session it joins: the session's desktop takes the display of the
// program that began it. On Windows only a desktop session has windows.
std::string NoWindowSentence() {
    const std::string sentence = "cannot open a window: kdview needs a graphical session";
    if (!RunsUnderWine()) {
        return sentence + ", and this one has none: start kdview from the desktop of a signed-in "
                          "user (a service or a remote shell without a desktop has none), for a "
                          "snapshot too";
    }
    const std::string snapshot =
        std::string(". For a snapshot without a display, start the monitor and kdview under one X "
                    "server: ") +
        kSnapshotWithoutDisplay;
    if (GetEnvironmentVariableA("DISPLAY", nullptr, 0) == 0) {
        return sentence + ", and there is none (under Wine: DISPLAY is not set)" + snapshot;
    }
    return sentence +
           ". Under Wine, DISPLAY is set but no window opens: the X server cannot be reached, or "
           "this prefix's Wine session began without a display (end it with wineserver -k, then "
           "start the monitor and kdview with DISPLAY set)" +
           snapshot;
}

bool RegisterViewClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

int RunViewWindow(const LoadedPlugin &plugin, const ViewOptions &options, std::string &error) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    View view;
    view.plugin = &plugin;
    view.options = &options;
    view.state.historyLength = kHistoryLength;
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, options.width, options.height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = nullptr;
    if (RegisterViewClass(instance)) {
        window = CreateWindowExW(0, kClassName, L"KelvoDyn", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                 nullptr, instance, &view);
    }
    if (window == nullptr) {
        error = NoWindowSentence();
        return kExitNoDisplay;
    }
    if (view.exitCode != kExitOk) {
        DestroyWindow(window);
        error = view.error;
        return view.exitCode;
    }
    // Ctrl+C in the terminal kdview was started from closes the window, as its
    // close button does.
    StopSignal stop;
    stop.CloseOnStop(window);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    error = view.error;
    return int(message.wParam);
}
