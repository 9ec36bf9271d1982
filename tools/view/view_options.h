// Command line of kdview: which plug-in to load, how often to redraw, how big
// the window is, and whether to leave a picture of it behind.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct ViewOptions {
    std::string pluginPath; // empty: KelvoDyn.dll beside kdview.exe
    unsigned intervalMs = 1000;
    double durationSeconds = 0; // 0: until the window is closed
    int width = 960;            // of the window's drawing area, in pixels
    int height = 600;
    std::string snapshotPath; // empty: no picture
    double snapshotAfterSeconds = 5;
    bool help = false;
    bool version = false;
};

// Parses argv; on a bad argument returns nullopt and sets error to a sentence for the user.
std::optional<ViewOptions> ParseViewOptions(const std::vector<std::string> &args,
                                            std::string &error);

std::string ViewUsage();
