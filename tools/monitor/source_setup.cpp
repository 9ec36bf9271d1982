// Each source as a first frame and a function for the next: the sensors are
// re-read every interval, the recording advances snapshot by snapshot.
#include "source_setup.h"

#include <cstdio>
#include <memory>

#include "deadline.h"
#include "error_words.h"
#include "exit_codes.h"
#include "file_stream.h"
#include "hwmon_sensors.h"
#include "number_text.h"
#include "recording_player.h"
#include "simulated_values.h"
#include "text_output.h"
#include "tool_messages.h"

namespace {

// A pause in a recording longer than this is announced, so a replay that
// waits does not look hung.
const int64_t kLongPauseMs = 10000;

std::string Seconds(int64_t milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", double(milliseconds) / 1000.0);
    return text;
}

void SetUpSimulated(const MonitorOptions &options, SourceSetup &setup) {
    const uint64_t started = NowMs();
    setup.first = {SimulatedReadings(options, 0), options.intervalMs};
    setup.next = [&options, started](Frame &frame) {
        double seconds = double(NowMs() - started) / 1000.0;
        frame = {SimulatedReadings(options, seconds), options.intervalMs};
        return true;
    };
}

int SetUpHwmon(const MonitorOptions &options, SourceSetup &setup, std::string &error) {
    const std::string folder = HwmonFolder(options.hwmonFolder);
    auto selection = std::make_shared<SensorSelection>();
    std::string warning;
    if (!FindPublishedSensors(folder, *selection, warning, error)) {
        return kExitNo;
    }
    if (!warning.empty()) {
        Warn(warning);
    }
    const bool fahrenheit = options.fahrenheit;
    setup.first = {ReadSensors(*selection, fahrenheit), options.intervalMs};
    setup.next = [selection, fahrenheit, &options](Frame &frame) {
        frame = {ReadSensors(*selection, fahrenheit), options.intervalMs};
        return true;
    };
    setup.about = "the kernel's sensors in " + ShownPath(folder) + ", read every " +
                  std::to_string(options.intervalMs) + " ms" +
                  (fahrenheit ? ", in degrees Fahrenheit" : "");
    return kExitOk;
}

// The path as messages quote it: escaped and, past any real length, cut.
std::string Shown(const std::string &path) {
    return ShownPath(path);
}

void ReportProblems(const std::string &path, const RecordingFindings &findings) {
    for (const std::string &problem : findings.problems) {
        Warn(Shown(path) + " " + problem + "; row skipped");
    }
    if (findings.skipped > findings.problems.size()) {
        Warn(std::to_string(findings.skipped - findings.problems.size()) +
             " more malformed rows skipped");
    }
    if (!findings.cutShort.empty()) {
        Warn(Shown(path) + ": " + findings.cutShort);
    }
    if (findings.mostLeftOut > 0) {
        const std::string slots = std::to_string(SENSOR_SLOTS);
        Warn("the recording has snapshots of more than " + slots +
             " temperatures or fans: the block holds the first " + slots + " of each");
    }
    if (findings.fahrenheit) {
        Warn("the recording is in degrees Fahrenheit: the plug-in shows it so only with "
             "UseFahrenheit=yes in its settings");
    }
}

// Reads the whole recording once, a snapshot at a time, to check it and
// report its problems before anything is published.
int ScanRecording(const std::string &path, RecordingFindings &findings, PassRecord &pass,
                  std::string &error) {
    std::unique_ptr<std::istream> file = OpenFileStream(path);
    if (!file) {
        error = "cannot open the recording " + Shown(path) + ": " +
                FileErrorWords(path, GetLastError());
        return kExitFileFailed;
    }
    RecordingReader reader(*file);
    if (!reader.ReadHeader(error)) {
        error = Shown(path) + ": " + error;
        return kExitNo;
    }
    for (RecordedSnapshot snapshot; reader.Next(snapshot);) {
    }
    findings = reader.Findings();
    pass = RecordOfPass(findings, reader.BytesRead());
    ReportProblems(path, findings); // also why nothing is usable
    if (findings.snapshots == 0) {
        error = Shown(path) + ": it holds no usable row";
        return kExitNo;
    }
    return kExitOk;
}

// The frame of the next snapshot; a long pause after it is announced, and
// what the play found changed, as it is found.
bool ReplayFrame(RecordingPlayer &player, const std::string &path, Frame &frame) {
    RecordedSnapshot snapshot;
    const bool more = player.Next(snapshot, frame.holdMs);
    for (const std::string &news : player.TakeNews()) {
        Warn(Shown(path) + news);
    }
    if (!more) {
        return false;
    }
    frame.readings = std::move(snapshot.readings);
    const std::string after =
        " after " + snapshot.time + " (line " + std::to_string(snapshot.line) + ")";
    if (player.ShortenedPauseMs() > 0) {
        Warn("the recording pauses for " + Seconds(player.ShortenedPauseMs()) + after +
             ", longer than kdhost --log waits between two snapshots: the replay waits " +
             Seconds(frame.holdMs) + " there");
    } else if (frame.holdMs > kLongPauseMs) {
        Warn("the recording pauses for " + Seconds(frame.holdMs) + after +
             "; --speed shortens the wait");
    }
    return true;
}

// At the end: what was replayed, and whether all of it could be, by the
// check before play and by the play itself.
int FinishReplay(const RecordingPlayer &player, const RecordingFindings &checked, LoopEnd end) {
    const PlayDamage &damage = player.Damage();
    const std::string cutShort =
        !damage.stoppedShort.empty() ? damage.stoppedShort : checked.cutShort;
    if (end == LoopEnd::SourceEnded && cutShort.empty()) {
        Say("the recording has ended");
    } else if (end == LoopEnd::SourceEnded) {
        Warn("the replay stops short of the recording's end: " + cutShort);
    }
    if (checked.skipped == 0 && checked.cutShort.empty() && !damage.any) {
        return kExitOk;
    }
    const size_t skipped = checked.skipped + damage.skipped;
    size_t first = checked.firstSkippedLine;
    if (damage.firstSkippedLine != 0 && (first == 0 || damage.firstSkippedLine < first)) {
        first = damage.firstSkippedLine;
    }
    std::string summary = "replayed " + Counted(player.Played(), "snapshot", "snapshots");
    if (skipped > 0) {
        summary += "; " + Counted(skipped, "row", "rows") + " skipped" +
                   (first != 0 ? ", first on line " + std::to_string(first) : "");
    }
    if (!cutShort.empty()) {
        summary += "; the rest could not be read";
    }
    if (damage.any) {
        summary += "; the recording changed while it played";
    }
    Warn(summary);
    return kExitReplayIncomplete;
}

int SetUpReplay(const MonitorOptions &options, SourceSetup &setup, std::string &error) {
    auto findings = std::make_shared<RecordingFindings>();
    PassRecord checked;
    const int scanned = ScanRecording(options.replayPath, *findings, checked, error);
    if (scanned != kExitOk) {
        return scanned;
    }
    const std::string path = options.replayPath;
    auto open = [path](std::string &why) {
        std::unique_ptr<std::istream> file = OpenFileStream(path);
        why = file ? "" : FileErrorWords(path, GetLastError());
        return file;
    };
    auto player = std::make_shared<RecordingPlayer>(open, options.speed, options.loop, checked);
    if (!player->CannotStart().empty()) {
        error = Shown(path) + ": it changed after it was checked: " + player->CannotStart();
        return kExitNo;
    }
    if (!ReplayFrame(*player, path, setup.first)) {
        error = Shown(path) + ": it changed after it was checked and holds no usable row now";
        return kExitNo;
    }
    setup.next = [player, path](Frame &frame) { return ReplayFrame(*player, path, frame); };
    setup.finish = [player, findings](LoopEnd end) {
        return FinishReplay(*player, *findings, end);
    };
    char speedText[32];
    std::snprintf(speedText, sizeof speedText, "%g", options.speed);
    setup.about = "replaying " + Shown(path) + ": " +
                  Counted(findings->snapshots, "snapshot", "snapshots") + " from " +
                  findings->firstTime + " to " + findings->lastTime +
                  (options.speed != 1 ? std::string(", ") + speedText + " times as fast" : "") +
                  (options.loop ? ", again and again" : "");
    return kExitOk;
}

} // namespace

int SetUpSource(const MonitorOptions &options, SourceSetup &setup, std::string &error) {
    if (options.hwmon) {
        return SetUpHwmon(options, setup, error);
    }
    if (!options.replayPath.empty()) {
        return SetUpReplay(options, setup, error);
    }
    SetUpSimulated(options, setup);
    return kExitOk;
}
