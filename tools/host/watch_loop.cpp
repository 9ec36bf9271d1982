// The timing and drawing of --watch. On a console the frame is redrawn in
// place; on a pipe or in a file each frame follows the last after a blank line.
#include "watch_loop.h"

#include <cmath>

#include "block_copy.h"
#include "block_diagnosis.h"
#include "console_frame.h"
#include "deadline.h"
#include "exit_codes.h"
#include "snapshot_json_csv.h"
#include "sparkline.h"
#include "stop_signal.h"
#include "terminal_text.h"
#include "watch_layout.h"
#include "live_view_state.h"

namespace {

std::string PluginFileName(const LoadedPlugin &plugin) {
    return TerminalText(plugin.path.substr(plugin.path.find_last_of("\\/") + 1));
}

std::string JoinLines(const std::vector<std::string> &lines, std::string text) {
    for (const std::string &line : lines) {
        text += line + "\n";
    }
    return text;
}

WatchFrameText WatchText(const LoadedPlugin &plugin, const WatchSettings &settings,
                         const LiveViewState &state, const Snapshot &snapshot, bool console) {
    WatchFrameText text;
    text.status = {PluginFileName(plugin), snapshot.time,
                   std::to_string(snapshot.sources.size()) + " sources",
                   "every " + std::to_string(settings.intervalMs) + " ms"};
    if (console) {
        text.status.push_back("(Ctrl+C stops)");
    }
    if (!state.sourcesNow) {
        // The plug-in says nothing about why; the block itself does.
        text.note = NoSourcesSentence(state, DiagnoseBlock(CopySharedBlock()).sentence);
    }
    return text;
}

} // namespace

int RunWatch(const LoadedPlugin &plugin, const WatchSettings &settings, const TextStream &out,
             std::string &error) {
    const StopSignal stop;
    const uint64_t started = NowMs();
    const bool limited = settings.durationSeconds > 0;
    const double limitMs = settings.durationSeconds * 1000.0;
    LiveViewState state;
    state.historyLength = kWidestSparkline;
    ConsoleFrame frame;
    bool first = true;
    for (;;) {
        Snapshot snapshot = TakeSnapshot(plugin);
        AdvanceLiveView(state, snapshot);
        // The console's width as it is now, so a resized window is fitted at once.
        const size_t width = out.console ? ConsoleLineWidth(out) : 0;
        std::vector<std::string> lines = WatchFrameLines(
            WatchText(plugin, settings, state, snapshot, out.console), state, width);
        if (out.console) {
            RedrawFrame(out, frame, lines, width);
        } else {
            WriteText(out, JoinLines(lines, first ? "" : "\n"));
        }
        first = false;
        // A log that cannot be written ends the watch: the user relies on the recording.
        if (settings.log != nullptr &&
            !AppendLog(*settings.log, LogRows(snapshot.time, state.rows), error)) {
            break;
        }
        // The next redraw on the start's cadence; one that fell behind is skipped.
        double elapsed = double(NowMs() - started);
        double next = (std::floor(elapsed / settings.intervalMs) + 1) * settings.intervalMs;
        bool last = limited && next > limitMs;
        double until = last ? limitMs : next;
        if (WaitForEventUntil(stop.event(), DeadlineAt(started + uint64_t(until))) || last) {
            break;
        }
    }
    if (!error.empty()) {
        return kExitFileFailed;
    }
    return state.sourcesNow ? kExitOk : kExitNo;
}
