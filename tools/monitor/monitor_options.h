// Command line of kdmonitor: what to publish and how the block may be malformed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common_options.h"

// The interval (with the real sources or --animate), the duration (0: until
// Ctrl+C or --stop), --help and --version are ToolOptions'.
struct MonitorOptions : ToolOptions {
    std::vector<int32_t> temps; // hundredths of a degree
    std::vector<int32_t> fans;  // RPM
    bool valuesGiven = false;   // --temps or --fans appeared
    bool animate = false;
    bool live = true;
    uint16_t layoutVersion = 1;
    std::optional<uint32_t> size;
    std::optional<uint16_t> counts[3]; // temperatures, fans, extra
    bool stopRunning = false;

    // Real readings instead of simulated ones (source_options.cpp).
    bool hwmon = false;      // the kernel's sensors
    std::string hwmonFolder; // --hwmon DIR as given; "" for /sys/class/hwmon
    bool fahrenheit = false;
    bool list = false;        // print the sensors instead of publishing
    std::string settingsPath; // --write-settings FILE: write names instead of publishing
    bool force = false;       // --write-settings may replace FILE
    std::string replayPath;   // --replay FILE
    double speed = 1;
    bool loop = false;
};

// Parses argv; on a bad argument returns nullopt and sets error to a sentence for the user.
std::optional<MonitorOptions> ParseMonitorOptions(const std::vector<std::string> &args,
                                                  std::string &error);

// The whole --help text, the real sources' options included.
std::string MonitorUsage();
