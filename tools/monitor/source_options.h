// kdmonitor's options for its sources of real readings: the kernel's sensors
// (--hwmon, --list, --write-settings) and a recording (--replay).
#pragma once

#include <string>
#include <vector>

#include "monitor_options.h"
#include "option_table.h"

// The rows of kdmonitor's option table for these options.
const std::vector<Option<MonitorOptions>> &SourceOptions();

// After the whole command line: the options that cannot go together, as a
// sentence, or "". --list and --write-settings without --hwmon mean the
// kernel's own folder.
std::string SourceConflict(MonitorOptions &options);

// The lines of the usage text for these options.
std::string SourceUsage();
