// The running kdserve is known by the mutex it owns (not by the name alone,
// which anyone who looks holds open for a moment); its process by its window. It is
// stopped by its event and, when that fails, ended: its job object ends the
// server it started along with it.
#include "serve_instance.h"

#include <shlobj.h>

const char kLauncherWindowClass[] = "KelvoDynServeLauncher";

std::string InstanceMutexName(uint16_t port) {
    return "Local\\KelvoDyn.kdserve." + std::to_string(port);
}

std::string InstanceStopEventName(uint16_t port) {
    return "Local\\KelvoDyn.kdserve." + std::to_string(port) + ".stop";
}

std::string LauncherWindowTitle(uint16_t port) {
    return "kdserve " + std::to_string(port);
}

std::string ServeStopEventName(DWORD processId) {
    return "Local\\KelvoDyn.kdhost-serve." + std::to_string(processId) + ".stop";
}

namespace {

// The window is top-level where there is a desktop, message-only where not.
HWND FindLauncherWindow(uint16_t port) {
    const std::string title = LauncherWindowTitle(port);
    HWND window = FindWindowA(kLauncherWindowClass, title.c_str());
    return window != nullptr
               ? window
               : FindWindowExA(HWND_MESSAGE, nullptr, kLauncherWindowClass, title.c_str());
}

bool WaitForRelease(HANDLE mutex, DWORD waitMs) {
    DWORD result = WaitForSingleObject(mutex, waitMs);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
        ReleaseMutex(mutex);
        return true;
    }
    return false;
}

} // namespace

RunningInstance FindInstance(uint16_t port) {
    RunningInstance instance;
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, InstanceMutexName(port).c_str());
    if (mutex == nullptr) {
        return instance;
    }
    instance.running = !WaitForRelease(mutex, 0);
    CloseHandle(mutex);
    if (!instance.running) {
        return instance;
    }
    if (HWND window = FindLauncherWindow(port)) {
        GetWindowThreadProcessId(window, &instance.processId);
    }
    return instance;
}

StopOutcome StopInstance(uint16_t port, DWORD waitMs) {
    const RunningInstance instance = FindInstance(port);
    if (!instance.running) {
        return StopOutcome::NotRunning;
    }
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, InstanceMutexName(port).c_str());
    if (mutex == nullptr) {
        return StopOutcome::Stopped; // it ended meanwhile
    }
    HANDLE process = instance.processId == 0
                         ? nullptr
                         : OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, instance.processId);
    HANDLE stop = OpenEventA(EVENT_MODIFY_STATE, FALSE, InstanceStopEventName(port).c_str());
    if (stop != nullptr) {
        SetEvent(stop);
        CloseHandle(stop);
    }
    // kdserve lets the mutex go once its server has ended, and then ends itself.
    const ULONGLONG start = GetTickCount64();
    StopOutcome outcome = StopOutcome::Stopped;
    if (!WaitForRelease(mutex, waitMs)) {
        outcome = StopOutcome::Running;
        if (process != nullptr && TerminateProcess(process, ERROR_TIMEOUT) &&
            WaitForSingleObject(process, 5000) == WAIT_OBJECT_0 && WaitForRelease(mutex, 5000)) {
            outcome = StopOutcome::Ended;
        }
    } else if (process != nullptr) {
        const ULONGLONG spent = GetTickCount64() - start;
        WaitForSingleObject(process, spent < waitMs ? DWORD(waitMs - spent) : 0);
    }
    if (process != nullptr) {
        CloseHandle(process);
    }
    CloseHandle(mutex);
    return outcome;
}

namespace {

// %LOCALAPPDATA% as the session sets it; the known folder when it is unset
// or not a full path.
std::wstring LocalAppData() {
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", value, 32768);
    if (length > 2 && length < 32768 && (value[1] == L':' || value[0] == L'\\')) {
        return std::wstring(value, length);
    }
    wchar_t *known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known))) {
        folder = known;
    }
    CoTaskMemFree(known);
    return folder;
}

std::wstring LogFolder() {
    std::wstring base = LocalAppData();
    if (!base.empty() && base.back() != L'\\') {
        base += L'\\';
    }
    return base + L"KelvoDyn\\";
}

} // namespace

std::wstring ServeLogPath(uint16_t port) {
    return LogFolder() + L"kdserve-" + std::to_wstring(port) + L".log";
}

std::wstring OldServeLogPath(uint16_t port) {
    return LogFolder() + L"kdserve-" + std::to_wstring(port) + L".old.log";
}
