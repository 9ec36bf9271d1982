// kdmonitor's options for its sources of real readings: the kernel's sensors
// (--hwmon, --list, --write-settings) and a recording (--replay).
#pragma once

#include <string>
#include <vector>

#include "monitor_options.h"
#include "option_values.h"

enum class SourceOption { NotOurs, Taken, Bad };

// Takes the current option (and its value) when it is one of these options;
// Bad with a sentence in error for a value that does not fit.
SourceOption ParseSourceOption(CommandLine &line, MonitorOptions &options, std::string &error);

// After the whole command line: the options that cannot go together, as a
// sentence, or "". --list and --write-settings without --hwmon mean the
// kernel's own folder.
std::string SourceConflict(MonitorOptions &options);

// The lines of the usage text for these options.
const char *SourceUsage();
