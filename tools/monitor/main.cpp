// kdmonitor: a hardware monitor for KelvoDyn.dll. Publishes simulated values,
// the kernel's sensors or a recording in the shared block until Ctrl+C,
// --duration, 'kdmonitor --stop' or the recording's end, then leaves cleanly.
#include <windows.h>

#include <string>
#include <vector>

#include "block_publisher.h"
#include "exit_codes.h"
#include "monitor_options.h"
#include "option_values.h"
#include "publish_loop.h"
#include "list_and_write_settings.h"
#include "source_options.h"
#include "source_setup.h"
#include "publishing_line.h"
#include "stop_signal.h"
#include "tool_messages.h"
#include "tool_main.h"

namespace {

// Lets 'kdmonitor --stop' and Ctrl+C end the running monitor through one event.
const char kStopEventName[] = "KDMonitorStop";

int StopRunningMonitor() {
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, kStopEventName);
    if (event == nullptr) {
        return Fail(kExitNo, "no monitor is running");
    }
    SetEvent(event);
    CloseHandle(event);
    Say("asked the running monitor to stop");
    return kExitOk;
}

int RunMonitor(const MonitorOptions &options) {
    if (options.stopRunning) {
        return StopRunningMonitor();
    }

    if (options.list || !options.settingsPath.empty()) {
        return RunListAndWriteSettings(options);
    }
    std::string error;
    SourceSetup source;
    if (int failed = SetUpSource(options, source, error); failed != kExitOk) {
        return Fail(failed, error);
    }

    const StopSignal stop(kStopEventName);
    BlockPublisher publisher;
    if (const int started = StartPublishing(options, source.first.readings, publisher, error);
        started != kExitOk) {
        return Fail(started, error);
    }
    if (!source.about.empty()) {
        Say(source.about);
    }
    Say(PublishingLine(options, *publisher.block));

    LoopEnd end =
        RunPublishLoop(publisher, options, stop.event(), source.first.holdMs, source.next);
    StopPublishing(publisher);
    const int code = source.finish ? source.finish(end) : kExitOk;
    Say("stopped");
    return code;
}

} // namespace

int main() {
    return RunTool(Tool::Monitor, ParseMonitorOptions, MonitorUsage, RunMonitor);
}
