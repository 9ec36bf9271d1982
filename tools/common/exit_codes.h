// The exit codes of kdhost, kdmonitor, kdview and kdserve: one table for the
// tools, so a script reads any of them the same way. Each code has one
// meaning, and each tool says what it means for it; every tool's --help
// section is made from this table, and docs/exit-codes.md is tested against it.
#pragma once

#include <string>
#include <vector>

#include "tool_name.h"

enum ToolExit : int {
    kExitOk = 0,               // done: sources shown, the monitor live, a clean stop
    kExitNo = 1,               // the answer is no: no sources, not live, nothing to publish,
                               // no monitor to stop, no recording, settings that need fixing
    kExitUsage = 2,            // a bad command line
    kExitNoPlugin = 3,         // the plug-in cannot be loaded or lacks an export
    kExitFileFailed = 4,       // a file cannot be opened, read or written
    kExitFileKept = 5,         // a file is there and is left alone as it is
    kExitAddressInUse = 6,     // the listen address is taken by another program
    kExitAddressUnusable = 7,  // the listen address is not this machine's, or cannot serve
    kExitNoDisplay = 8,        // no graphical session for a window
    kExitReplayIncomplete = 9, // a replay skipped rows or was cut short
    kExitAlreadyRunning = 10,  // another instance runs already (a monitor, a server)
};

struct ExitCodeRow {
    ToolExit code;
    const char *meaning;            // the same for every tool
    const char *byTool[kToolCount]; // what it means for each tool; "" when it never gives it
};

// Every code, in order.
const std::vector<ExitCodeRow> &ExitCodeTable();

// The "Exit codes:" section of a tool's --help: each code the tool gives,
// with what it means for it, wrapped to 78 columns.
std::string ExitCodesHelp(Tool tool);
