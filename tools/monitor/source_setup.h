// Sets up the source of readings the command line chose: the simulated values,
// the kernel's sensors or a recording. main.cpp then publishes its frames.
#pragma once

#include <functional>
#include <string>

#include "monitor_options.h"
#include "publish_loop.h"

struct SourceSetup {
    Frame first;       // published when the block is created
    NextFrame next;    // every later frame
    std::string about; // a line for the user on what is published, UTF-8; may be ""
    // Says how the source ended and gives the exit code; empty: kExitOk.
    std::function<int(LoopEnd end)> finish;
};

// kExitOk, or the exit code with a sentence in error when the source has
// nothing to publish (no sensor found, no usable row in the recording:
// kExitNo) or its file cannot be opened (kExitFileFailed). Warnings go to
// standard error.
int SetUpSource(const MonitorOptions &options, SourceSetup &setup, std::string &error);
