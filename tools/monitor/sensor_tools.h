// kdmonitor --list and --write-settings: the kernel's sensors printed, or
// named in a settings file for the plug-in, without publishing anything.
#pragma once

#include "monitor_options.h"

// Exit codes of --write-settings beyond kdmonitor's own 0, 1 and 2.
enum SettingsExitCode { kExitSettingsExist = 3, kExitSettingsUnwritable = 4 };

// Runs --list and/or --write-settings; the exit code.
int RunSensorTools(const MonitorOptions &options);
