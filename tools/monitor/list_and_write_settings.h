// kdmonitor --list and --write-settings: the kernel's sensors printed, or
// named in a settings file for the plug-in, without publishing anything.
#pragma once

#include "monitor_options.h"

// Runs --list and/or --write-settings; the exit code: kExitOk, kExitNo when
// no sensor is found, kExitFileKept for an existing file without --force,
// kExitFileFailed when it cannot be written.
int RunListAndWriteSettings(const MonitorOptions &options);
