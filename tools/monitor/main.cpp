// kdmonitor: a hardware monitor for KelvoDyn.dll. Publishes simulated values,
// the kernel's sensors or a recording in the shared block until Ctrl+C,
// --duration, 'kdmonitor --stop' or the recording's end, then leaves cleanly.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "block_publisher.h"
#include "exit_codes.h"
#include "monitor_message.h"
#include "monitor_options.h"
#include "option_values.h"
#include "publish_loop.h"
#include "sensor_tools.h"
#include "source_options.h"
#include "source_setup.h"
#include "start_line.h"
#include "text_output.h"

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
        return kExitNo;
    }
    SetEvent(event);
    CloseHandle(event);
    std::printf("kdmonitor: asked the running monitor to stop\n");
    return kExitOk;
}

} // namespace

int main(int argc, char **argv) {
    std::string error;
    auto options = ParseMonitorOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "kdmonitor: %s\n", error.c_str());
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(MonitorUsage().c_str(), stdout);
        return kExitOk;
    }
    if (options->showVersion) {
        std::fputs(VersionLine("kdmonitor").c_str(), stdout);
        return kExitOk;
    }
    if (options->stopRunning) {
        return StopRunningMonitor();
    }

    if (options->list || !options->settingsPath.empty()) {
        return RunSensorTools(*options);
    }
    SourceSetup source;
    if (int failed = SetUpSource(*options, source, error); failed != kExitOk) {
        Warn(error);
        return failed;
    }

    g_stopEvent = CreateEventA(nullptr, TRUE, FALSE, kStopEventName);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    BlockPublisher publisher;
    if (!StartPublishing(*options, source.first.readings, publisher, error)) {
        std::fprintf(stderr, "kdmonitor: %s\n", error.c_str());
        return kExitNo;
    }
    if (!source.about.empty()) {
        Say(StandardOutput(), source.about);
    }
    std::fputs(StartLine(*options, *publisher.block).c_str(), stdout);
    std::fflush(stdout);

    LoopEnd end =
        RunPublishLoop(publisher, *options, g_stopEvent, source.first.holdMs, source.next);
    StopPublishing(publisher);
    CloseHandle(g_stopEvent);
    const int code = source.finish ? source.finish(end) : kExitOk;
    std::printf("kdmonitor: stopped\n");
    return code;
}
