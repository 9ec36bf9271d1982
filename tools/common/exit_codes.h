// The exit codes of kdhost, kdmonitor, kdview and kdserve: one table for
// the tools, so a script reads any of them the same way.
#pragma once

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
    kExitAlreadyRunning = 10,  // this user's server for that port runs already
};
