// Command line of kdview: which plug-in to load, how often to redraw, how big
// the window is, and whether to leave a picture of it behind.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common_options.h"

// The interval, the duration (0: until the window is closed), --help and
// --version are ToolOptions'.
struct ViewOptions : ToolOptions {
    std::string pluginPath; // empty: KelvoDyn.dll beside kdview.exe
    int width = 960;        // of the window's drawing area, in pixels
    int height = 600;
    std::string snapshotPath; // empty: no picture
    double snapshotAfterSeconds = 5;
};

// Parses argv; on a bad argument returns nullopt and sets error to a sentence for the user.
std::optional<ViewOptions> ParseViewOptions(const std::vector<std::string> &args,
                                            std::string &error);

std::string ViewUsage();

// Under Wine without a display: a snapshot needs an X server, and the monitor
// must run in the same X session (a Wine session's windows go to the display
// of the program that began it). The one command line that advice gives.
extern const char kSnapshotWithoutDisplay[];
