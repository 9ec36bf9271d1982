// Command line of kdmonitor: what to publish and how the block may be malformed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct MonitorOptions {
    std::vector<int32_t> temps; // hundredths of a degree
    std::vector<int32_t> fans;  // RPM
    bool valuesGiven = false;   // --temps or --fans appeared
    bool animate = false;
    bool live = true;
    double durationSeconds = 0; // 0: until Ctrl+C or --stop
    uint16_t layoutVersion = 1;
    std::optional<uint32_t> size;
    std::optional<uint16_t> counts[3]; // temperatures, fans, extra
    bool stopRunning = false;
    bool help = false;
    bool showVersion = false;
};

// Parses argv; on a bad argument returns nullopt and sets error to a sentence for the user.
std::optional<MonitorOptions> ParseMonitorOptions(const std::vector<std::string> &args,
                                                  std::string &error);

const char *MonitorUsage();
