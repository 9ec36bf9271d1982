// The timing and drawing of --watch. On a console that takes escape codes the
// frame is redrawn in place; anywhere else each frame follows the last.
#include "watch_loop.h"

#include <cmath>

#include "block_copy.h"
#include "block_diagnosis.h"
#include "machine_formats.h"
#include "source_table.h"
#include "watch_state.h"

namespace {

constexpr size_t kSparklineWidth = 24;

HANDLE g_stopWatching = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
    SetEvent(g_stopWatching);
    return TRUE;
}

std::string PluginFileName(const LoadedPlugin &plugin) {
    return plugin.path.substr(plugin.path.find_last_of("\\/") + 1);
}

std::vector<std::string> FrameLines(const LoadedPlugin &plugin, const WatchSettings &settings,
                                    const WatchState &state, const Snapshot &snapshot,
                                    bool console) {
    std::string status = PluginFileName(plugin) + "  " + snapshot.time + "  " +
                         std::to_string(snapshot.sources.size()) + " sources  every " +
                         std::to_string(settings.intervalMs) + " ms";
    std::vector<std::string> lines = {console ? status + "  (Ctrl+C stops)" : status};
    if (!state.sourcesNow) {
        // The plug-in says nothing about why; the block itself does.
        std::string why = DiagnoseBlock(CopySharedBlock()).sentence;
        lines.push_back((state.rows.empty() ? "Waiting for sources. " : "No sources now. ") + why);
    }
    if (!state.rows.empty()) {
        std::vector<std::string> table =
            SourceTableLines(state.rows, RowSparklines(state, kSparklineWidth));
        lines.insert(lines.end(), table.begin(), table.end());
    }
    return lines;
}

// Over the previous frame when the console takes escape codes, else below it.
void DrawFrame(const TextStream &out, const std::vector<std::string> &lines, size_t previous) {
    std::string text;
    if (out.escapes) {
        text = previous > 0 ? "\x1b[" + std::to_string(previous) + "A\r" : "\x1b[?25l";
        for (const std::string &line : lines) {
            text += line + "\x1b[K\n";
        }
        text += "\x1b[J";
    } else {
        text = previous > 0 ? "\n" : "";
        for (const std::string &line : lines) {
            text += line + "\n";
        }
    }
    WriteText(out, text);
}

} // namespace

int RunWatch(const LoadedPlugin &plugin, const WatchSettings &settings, TextStream &out) {
    g_stopWatching = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    EnableEscapes(out);

    const DWORD started = GetTickCount();
    const bool limited = settings.durationSeconds > 0;
    const double limitMs = settings.durationSeconds * 1000.0;
    WatchState state;
    state.historyLength = kSparklineWidth;
    size_t previousLines = 0;
    for (;;) {
        Snapshot snapshot = TakeSnapshot(plugin);
        AdvanceWatch(state, snapshot);
        std::vector<std::string> lines = FrameLines(plugin, settings, state, snapshot, out.console);
        DrawFrame(out, lines, previousLines);
        previousLines = lines.size();
        if (settings.log != nullptr) {
            AppendLog(*settings.log, LogRows(snapshot.time, state.rows));
        }
        // The next redraw on the start's cadence; one that fell behind is skipped.
        double elapsed = double(GetTickCount() - started);
        double next = (std::floor(elapsed / settings.intervalMs) + 1) * settings.intervalMs;
        bool last = limited && next > limitMs;
        double until = last ? limitMs : next;
        DWORD wait = until > elapsed ? DWORD(until - elapsed) : 0;
        if (WaitForSingleObject(g_stopWatching, wait) == WAIT_OBJECT_0 || last) {
            break;
        }
    }
    if (out.escapes) {
        WriteText(out, "\x1b[?25h");
    }
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    CloseHandle(g_stopWatching);
    return state.sourcesNow ? 0 : 1;
}
