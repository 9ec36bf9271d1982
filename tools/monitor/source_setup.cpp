// Each source as a first frame and a function for the next: the sensors are
// re-read every interval, the recording advances snapshot by snapshot.
#include "source_setup.h"

#include <cstdio>
#include <memory>

#include "hwmon_sensors.h"
#include "replay_reader.h"
#include "simulated_values.h"
#include "text_output.h"

namespace {

// Beyond this many, malformed rows are counted rather than each listed.
const size_t kProblemsShown = 20;
// A pause in a recording longer than this is announced, so a replay that
// waits does not look hung.
const int64_t kLongPauseMs = 10000;

void Warn(const std::string &utf8) {
    WriteText(StandardError(), "kdmonitor: " + utf8 + "\n");
}

std::string Seconds(int64_t milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", double(milliseconds) / 1000.0);
    return text;
}

void SetUpSimulated(const MonitorOptions &options, SourceSetup &setup) {
    const ULONGLONG started = GetTickCount64();
    setup.first = {SimulatedReadings(options, 0), options.intervalMs};
    setup.next = [&options, started](Frame &frame) {
        double seconds = double(GetTickCount64() - started) / 1000.0;
        frame = {SimulatedReadings(options, seconds), options.intervalMs};
        return true;
    };
}

bool SetUpHwmon(const MonitorOptions &options, SourceSetup &setup, std::string &error) {
    const std::string folder = HwmonFolder(options.hwmonFolder);
    auto selection = std::make_shared<SensorSelection>();
    std::string warning;
    if (!FindPublishedSensors(folder, *selection, warning, error)) {
        return false;
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
    setup.about = "the kernel's sensors in " + AnsiToUtf8(folder) + ", read every " +
                  std::to_string(options.intervalMs) + " ms" +
                  (fahrenheit ? ", in degrees Fahrenheit" : "");
    return true;
}

void ReportProblems(const std::string &path, const Recording &recording) {
    for (size_t i = 0; i < recording.problems.size() && i < kProblemsShown; ++i) {
        Warn(AnsiToUtf8(path) + " " + recording.problems[i] + "; row skipped");
    }
    if (recording.problems.size() > kProblemsShown) {
        Warn(std::to_string(recording.problems.size() - kProblemsShown) +
             " more malformed rows skipped");
    }
    if (recording.mostLeftOut > 0) {
        Warn("the recording has snapshots of more than 32 temperatures or fans: the block "
             "holds the first 32 of each");
    }
    if (recording.fahrenheit) {
        Warn("the recording is in degrees Fahrenheit: the plug-in shows it so only with "
             "UseFahrenheit=yes in its settings");
    }
}

// Snapshot `at` as a frame; a long pause after it is announced.
Frame ReplayFrame(const Recording &recording, size_t at, double speed) {
    const RecordedSnapshot &snapshot = recording.snapshots[at];
    Frame frame = {snapshot.readings, HoldMs(recording, at, speed)};
    if (frame.holdMs > kLongPauseMs) {
        Warn("the recording pauses for " + Seconds(frame.holdMs) + " after " + snapshot.time +
             " (line " + std::to_string(snapshot.line) + "); --speed shortens the wait");
    }
    return frame;
}

bool SetUpReplay(const MonitorOptions &options, SourceSetup &setup, std::string &error) {
    auto recording = std::make_shared<Recording>();
    bool usable = ReadRecording(options.replayPath, *recording, error);
    ReportProblems(options.replayPath, *recording); // also why nothing is usable
    if (!usable) {
        error = AnsiToUtf8(error);
        return false;
    }
    const double speed = options.speed;
    const bool loop = options.loop;
    auto at = std::make_shared<size_t>(0);
    setup.first = ReplayFrame(*recording, 0, speed);
    setup.next = [recording, at, speed, loop](Frame &frame) {
        if (++*at == recording->snapshots.size()) {
            if (!loop) {
                return false;
            }
            *at = 0;
        }
        frame = ReplayFrame(*recording, *at, speed);
        return true;
    };
    const auto &s = recording->snapshots;
    char speedText[32];
    std::snprintf(speedText, sizeof speedText, "%g", speed);
    setup.about = "replaying " + AnsiToUtf8(options.replayPath) + ": " + std::to_string(s.size()) +
                  " snapshots from " + s.front().time + " to " + s.back().time +
                  (speed != 1 ? std::string(", ") + speedText + " times as fast" : "") +
                  (loop ? ", again and again" : "");
    return true;
}

} // namespace

bool SetUpSource(const MonitorOptions &options, SourceSetup &setup, std::string &error) {
    if (options.hwmon) {
        return SetUpHwmon(options, setup, error);
    }
    if (!options.replayPath.empty()) {
        return SetUpReplay(options, setup, error);
    }
    SetUpSimulated(options, setup);
    return true;
}
