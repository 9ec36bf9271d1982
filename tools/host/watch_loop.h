// 'kdhost --watch': takes a snapshot every interval and redraws the table
// until Ctrl+C or the duration, logging each redraw when asked to.
#pragma once

#include "log_file.h"
#include "plugin_loader.h"
#include "text_output.h"

struct WatchSettings {
    unsigned intervalMs = 1000;
    double durationSeconds = 0; // 0: until Ctrl+C
    LogFile *log = nullptr;
};

// The exit code: sources at the last redraw or none; kExitFileFailed with a
// sentence in error when the log could not be written (the watch ends there).
int RunWatch(const LoadedPlugin &plugin, const WatchSettings &settings, const TextStream &out,
             std::string &error);
