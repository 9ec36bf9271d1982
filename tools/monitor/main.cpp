// kdmonitor: a simulated hardware monitor. Publishes readings in the shared
// block until Ctrl+C, --duration or 'kdmonitor --stop', then leaves cleanly.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "block_publisher.h"
#include "monitor_options.h"
#include "option_values.h"
#include "start_line.h"

namespace {

// Lets 'kdmonitor --stop' and Ctrl+C end the running monitor through one event.
const char kStopEventName[] = "KDMonitorStop";
HANDLE g_stopEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
    SetEvent(g_stopEvent);
    return TRUE;
}

int StopRunningMonitor() {
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, kStopEventName);
    if (event == nullptr) {
        std::fprintf(stderr, "kdmonitor: no monitor is running\n");
        return 1;
    }
    SetEvent(event);
    CloseHandle(event);
    std::printf("kdmonitor: asked the running monitor to stop\n");
    return 0;
}

// Smooth drift around the published values, a full swing in about 16 seconds:
// temperatures by up to 8 degrees, fans by up to 25 percent, so the change shows
// even on a host's fixed scales; a stopped fan stays stopped.
std::vector<int32_t> Drift(const std::vector<int32_t> &base, double tick, bool isFan) {
    std::vector<int32_t> values;
    for (size_t i = 0; i < base.size(); ++i) {
        double wave = std::sin(tick / 2.5 + double(i) * 1.7);
        double amplitude = isFan ? std::fabs(base[i]) * 0.25 : 800.0;
        values.push_back(int32_t(std::lround(base[i] + amplitude * wave)));
    }
    return values;
}

// Waits for the stop event while serving the window's messages.
bool WaitForStop(DWORD milliseconds) {
    DWORD until = GetTickCount() + milliseconds;
    for (;;) {
        DWORD now = GetTickCount();
        DWORD left = int32_t(until - now) > 0 ? until - now : 0;
        DWORD woke = MsgWaitForMultipleObjects(1, &g_stopEvent, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            return true;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        if (woke == WAIT_TIMEOUT) {
            return false;
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    std::string error;
    auto options = ParseMonitorOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "kdmonitor: %s\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(MonitorUsage(), stdout);
        return 0;
    }
    if (options->showVersion) {
        std::fputs(VersionLine("kdmonitor").c_str(), stdout);
        return 0;
    }
    if (options->stopRunning) {
        return StopRunningMonitor();
    }

    g_stopEvent = CreateEventA(nullptr, TRUE, FALSE, kStopEventName);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    BlockPublisher publisher;
    if (!StartPublishing(*options, publisher, error)) {
        std::fprintf(stderr, "kdmonitor: %s\n", error.c_str());
        return 1;
    }
    std::fputs(StartLine(*options, *publisher.block).c_str(), stdout);
    std::fflush(stdout);

    const double limitMs = options->durationSeconds * 1000.0;
    const DWORD started = GetTickCount();
    for (double tick = 1;; ++tick) {
        double elapsed = double(GetTickCount() - started);
        DWORD wait = DWORD(1000);
        if (limitMs > 0) {
            if (elapsed >= limitMs) {
                break;
            }
            wait = DWORD(std::fmin(1000.0, limitMs - elapsed));
        }
        if (WaitForStop(wait)) {
            break;
        }
        if (options->animate) {
            PublishReadings(publisher, *options, Drift(options->temps, tick, false),
                            Drift(options->fans, tick, true));
        }
    }
    StopPublishing(publisher);
    CloseHandle(g_stopEvent);
    std::printf("kdmonitor: stopped\n");
    return 0;
}
