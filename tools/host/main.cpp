// kdhost: loads KelvoDyn.dll as a monitoring host does and shows its sources,
// once or continuously, for people or programs, or over HTTP for monitoring
// servers; or diagnoses the shared block.
#include <string>
#include <vector>

#include "autostart_command.h"
#include "block_copy.h"
#include "block_diagnosis.h"
#include "diagnosis_report.h"
#include "exit_codes.h"
#include "host_options.h"
#include "log_file.h"
#include "snapshot_json_csv.h"
#include "option_values.h"
#include "plugin_loader.h"
#include "serve_command.h"
#include "settings_check.h"
#include "source_snapshot.h"
#include "source_table.h"
#include "text_output.h"
#include "tool_messages.h"
#include "tool_main.h"
#include "watch_loop.h"

namespace {

int Diagnose(const std::string &pluginPath, const TextStream &out) {
    BlockCopy copy = CopySharedBlock();
    Diagnosis diagnosis = DiagnoseBlock(copy);
    WriteText(out, DiagnosisReport(copy, diagnosis));
    // The block says nothing of the settings; a folder the plug-in cannot name them in does.
    std::string path = pluginPath, error;
    if (!path.empty() || DefaultPluginPath(path, error)) {
        const std::string note = UnreachableSettingsNote(path);
        WriteText(out, note.empty() ? "" : "\n" + note);
    }
    return diagnosis.finding == Finding::Live ? kExitOk : kExitNo;
}

std::string SnapshotText(const Snapshot &snapshot, const HostOptions &options,
                         const std::string &pluginPath) {
    if (options.format == OutputFormat::Json) {
        return SnapshotJson(snapshot, pluginPath);
    }
    if (options.format == OutputFormat::Csv) {
        std::string csv = CsvHeader();
        for (const SourceReading &source : snapshot.sources) {
            csv += CsvRow(source);
        }
        return csv;
    }
    if (snapshot.sources.empty()) {
        std::string text =
            "No sources: the plug-in reports " + std::to_string(snapshot.reported) + ".\n";
        for (const std::string &line : WrapWords(DiagnoseBlock(CopySharedBlock()).sentence, 78)) {
            text += line + "\n";
        }
        return text + "Run 'kdhost --diagnose' to see the shared block's header and slots.\n";
    }
    std::string text;
    for (const std::string &line : SourceTableLines(snapshot.sources, {})) {
        text += line + "\n";
    }
    if (snapshot.reported > int32_t(snapshot.sources.size())) {
        text += "The plug-in reports " + std::to_string(snapshot.reported) +
                " sources; only the first " + std::to_string(snapshot.sources.size()) +
                " are shown.\n";
    }
    return text;
}

int Serve(const LoadedPlugin &plugin, const HostOptions &options, const TextStream &out) {
    ServeSettings settings;
    settings.address = options.listen;
    settings.durationSeconds = options.durationSeconds;
    std::string error;
    int code = RunServe(plugin, settings, out, error);
    return error.empty() ? code : Fail(code, error);
}

int RunHost(const HostOptions &options) {
    std::string error;
    TextStream out = StandardOutput();
    if (options.diagnose) {
        return Diagnose(options.pluginPath, out);
    }
    if (options.autostart != AutostartAction::None) {
        int code = RunAutostart(options, out, error);
        return error.empty() ? code : Fail(code, error);
    }
    std::string path = options.pluginPath;
    if (options.checkSettings) {
        if (path.empty() && !DefaultPluginPath(path, error)) {
            return Fail(kExitNoPlugin, error);
        }
        const int code = CheckSettings(options.settingsPath, path, out, error);
        return error.empty() ? code : Fail(code, error);
    }

    LoadedPlugin plugin;
    if (!LoadGivenOrDefaultPlugin(path, plugin, error)) {
        return Fail(kExitNoPlugin, error);
    }
    LogFile log;
    int code = options.logPath.empty() ? kExitOk : OpenLog(options.logPath, log, error);
    if (code != kExitOk) {
        UnloadPlugin(plugin);
        return Fail(code, error);
    }

    if (options.serve) {
        code = Serve(plugin, options, out);
    } else if (options.watch) {
        WatchSettings settings;
        settings.intervalMs = options.intervalMs;
        settings.durationSeconds = options.durationSeconds;
        settings.log = options.logPath.empty() ? nullptr : &log;
        code = RunWatch(plugin, settings, out, error);
    } else {
        Snapshot snapshot = TakeSnapshot(plugin);
        WriteText(out, SnapshotText(snapshot, options, plugin.path));
        code = snapshot.sources.empty() ? kExitNo : kExitOk;
        if (!AppendLog(log, LogRows(snapshot.time, snapshot.sources), error)) {
            code = kExitFileFailed;
        }
    }
    CloseLog(log);
    UnloadPlugin(plugin);
    return error.empty() ? code : Fail(code, error);
}

} // namespace

int main() {
    return RunTool(Tool::Host, ParseHostOptions, HostUsage, RunHost);
}
