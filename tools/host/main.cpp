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
#include "machine_formats.h"
#include "option_values.h"
#include "plugin_loader.h"
#include "serve_command.h"
#include "settings_check.h"
#include "source_snapshot.h"
#include "source_table.h"
#include "text_output.h"
#include "watch_loop.h"

namespace {

int Fail(int code, const std::string &message) {
    WriteText(StandardError(), "kdhost: " + message + "\n");
    return code;
}

int Diagnose(const TextStream &out) {
    BlockCopy copy = CopySharedBlock();
    Diagnosis diagnosis = DiagnoseBlock(copy);
    WriteText(out, DiagnosisReport(copy, diagnosis));
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

} // namespace

int main(int argc, char **argv) {
    std::string error;
    auto options = ParseHostOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        return Fail(kExitUsage, error);
    }
    TextStream out = StandardOutput();
    if (options->help) {
        WriteText(out, HostUsage());
        return kExitOk;
    }
    if (options->version) {
        WriteText(out, VersionLine("kdhost"));
        return kExitOk;
    }
    if (options->diagnose) {
        return Diagnose(out);
    }
    if (options->autostart != AutostartAction::None) {
        int code = RunAutostart(*options, out, error);
        return error.empty() ? code : Fail(code, error);
    }
    std::string path = options->pluginPath;
    if (options->checkSettings) {
        if (path.empty() && !DefaultPluginPath(path, error)) {
            return Fail(kExitNoPlugin, error);
        }
        int code = CheckSettings(options->settingsPath, path, out, error);
        return error.empty() ? code : Fail(code, error);
    }

    LoadedPlugin plugin;
    if ((path.empty() && !DefaultPluginPath(path, error)) || !LoadPlugin(path, plugin, error)) {
        return Fail(kExitNoPlugin, error);
    }
    LogFile log;
    int code = options->logPath.empty() ? kExitOk : OpenLog(options->logPath, log, error);
    if (code != kExitOk) {
        UnloadPlugin(plugin);
        return Fail(code, error);
    }

    if (options->serve) {
        code = Serve(plugin, *options, out);
    } else if (options->watch) {
        WatchSettings settings;
        settings.intervalMs = options->intervalMs;
        settings.durationSeconds = options->durationSeconds;
        settings.log = options->logPath.empty() ? nullptr : &log;
        code = RunWatch(plugin, settings, out, error);
    } else {
        Snapshot snapshot = TakeSnapshot(plugin);
        WriteText(out, SnapshotText(snapshot, *options, plugin.path));
        code = snapshot.sources.empty() ? kExitNo : kExitOk;
        if (!AppendLog(log, LogRows(snapshot.time, snapshot.sources), error)) {
            code = kExitFileFailed;
        }
    }
    CloseLog(log);
    UnloadPlugin(plugin);
    return error.empty() ? code : Fail(code, error);
}
