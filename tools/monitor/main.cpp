// kdmonitor: a hardware monitor for KelvoDyn.dll. Publishes simulated values,
// the kernel's sensors or a recording in the shared block until Ctrl+C,
// --duration, 'kdmonitor --stop' or the recording's end, then leaves cleanly.
#include <windows.h>

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
#include "stop_signal.h"
#include "text_output.h"

namespace {

// Lets 'kdmonitor --stop' and Ctrl+C end the running monitor through one event.
const char kStopEventName[] = "KDMonitorStop";

int StopRunningMonitor() {
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, kStopEventName);
    if (event == nullptr) {
        Warn("no monitor is running");
        return kExitNo;
    }
    SetEvent(event);
    CloseHandle(event);
    Say(StandardOutput(), "asked the running monitor to stop");
    return kExitOk;
}

} // namespace

int main(int argc, char **argv) {
    std::string error;
    auto options = ParseMonitorOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        Warn(error);
        return kExitUsage;
    }
    if (options->help) {
        WriteText(StandardOutput(), MonitorUsage());
        return kExitOk;
    }
    if (options->showVersion) {
        WriteText(StandardOutput(), VersionLine("kdmonitor"));
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

    const StopSignal stop(kStopEventName);
    BlockPublisher publisher;
    if (!StartPublishing(*options, source.first.readings, publisher, error)) {
        Warn(error);
        return kExitNo;
    }
    if (!source.about.empty()) {
        Say(StandardOutput(), source.about);
    }
    WriteText(StandardOutput(), StartLine(*options, *publisher.block));

    LoopEnd end =
        RunPublishLoop(publisher, *options, stop.event(), source.first.holdMs, source.next);
    StopPublishing(publisher);
    const int code = source.finish ? source.finish(end) : kExitOk;
    Say(StandardOutput(), "stopped");
    return code;
}
