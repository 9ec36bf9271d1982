// Parses kdmonitor's command line into MonitorOptions.
#include "monitor_options.h"

#include <cmath>
#include <limits>
#include <sstream>

#include "monitor_link/shared_sensor_block.h"
#include "option_values.h"
#include "source_options.h"

namespace {

std::vector<std::string> SplitList(const std::string &text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        items.push_back(item);
    }
    return items;
}

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

// Degrees with up to two decimals, stored as hundredths.
bool ParseTemperatures(const std::string &text, std::vector<int32_t> &out, std::string &error) {
    for (const std::string &item : SplitList(text)) {
        double degrees = 0;
        if (!ParseNumber(item, kInt32Min / 100.0, kInt32Max / 100.0, degrees)) {
            error = "--temps: '" + item + "' is not a temperature in degrees (e.g. 45.5)";
            return false;
        }
        out.push_back(int32_t(std::llround(degrees * 100.0)));
    }
    return true;
}

bool ParseFans(const std::string &text, std::vector<int32_t> &out, std::string &error) {
    for (const std::string &item : SplitList(text)) {
        int64_t rpm = 0;
        if (!ParseInteger(item, kInt32Min, kInt32Max, rpm)) {
            error = "--fans: '" + item + "' is not a whole number of RPM";
            return false;
        }
        out.push_back(int32_t(rpm));
    }
    return true;
}

bool ParseCounts(const std::string &text, MonitorOptions &options, std::string &error) {
    std::vector<std::string> items = SplitList(text);
    if (items.size() != 3) {
        error = "--counts takes three numbers: temperatures,fans,extra (e.g. 2,3,0)";
        return false;
    }
    for (size_t i = 0; i < 3; ++i) {
        int64_t count = 0;
        if (!ParseInteger(items[i], 0, 0xFFFF, count)) {
            error = "--counts: '" + items[i] + "' is not a count from 0 to 65535";
            return false;
        }
        options.counts[i] = uint16_t(count);
    }
    return true;
}

} // namespace

std::optional<MonitorOptions> ParseMonitorOptions(const std::vector<std::string> &args,
                                                  std::string &error) {
    MonitorOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        auto value = [&](std::string &out) { return TakeValue(args, i, out, error); };
        std::string text;
        int64_t number = 0;
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.help = true;
        } else if (arg == "--animate") {
            options.animate = true;
        } else if (arg == "--not-live") {
            options.live = false;
        } else if (arg == "--stop") {
            options.stopRunning = true;
        } else if (arg == "--temps") {
            options.valuesGiven = true;
            if (!value(text) || !ParseTemperatures(text, options.temps, error)) {
                return std::nullopt;
            }
        } else if (arg == "--fans") {
            options.valuesGiven = true;
            if (!value(text) || !ParseFans(text, options.fans, error)) {
                return std::nullopt;
            }
        } else if (arg == "--duration") {
            if (!value(text) || !ParseNumber(text, 0, 1e6, options.durationSeconds)) {
                error = error.empty() ? "--duration takes seconds, e.g. 30" : error;
                return std::nullopt;
            }
        } else if (arg == "--version") {
            if (!value(text) || !ParseInteger(text, 0, 0xFFFF, number)) {
                error = error.empty() ? "--version takes a number from 0 to 65535" : error;
                return std::nullopt;
            }
            options.version = uint16_t(number);
        } else if (arg == "--size") {
            if (!value(text) || !ParseInteger(text, 0, 0xFFFFFFFFll, number)) {
                error =
                    error.empty() ? "--size takes a number of bytes from 0 to 4294967295" : error;
                return std::nullopt;
            }
            options.size = uint32_t(number);
        } else if (arg == "--counts") {
            if (!value(text) || !ParseCounts(text, options, error)) {
                return std::nullopt;
            }
        } else if (SourceOption taken = ParseSourceOption(args, i, options, error);
                   taken != SourceOption::NotOurs) {
            if (taken == SourceOption::Bad) {
                return std::nullopt;
            }
        } else {
            error = "unknown option '" + arg + "' (see --help)";
            return std::nullopt;
        }
    }
    error = SourceConflict(options);
    if (!error.empty()) {
        return std::nullopt;
    }
    if (!options.valuesGiven) {
        options.temps = {4550, 5225};
        options.fans = {900, 1200, 0};
    }
    if (options.temps.size() > SENSOR_SLOTS || options.fans.size() > SENSOR_SLOTS) {
        error = "the block has room for at most 32 temperatures and 32 fans";
        return std::nullopt;
    }
    return options;
}

const char *MonitorUsage() {
    return "kdmonitor - simulated, real or recorded readings for KelvoDyn.dll\n"
           "\n"
           "Publishes temperatures and fan speeds in the shared block \"" SHARED_BLOCK_NAME "\"\n"
           "exactly as a hardware monitor does, so the plug-in can be tried without one.\n"
           "\n"
           "Usage: kdmonitor [options]\n"
           "  --temps LIST     temperatures in degrees, two decimals (e.g. 45.5,52)\n"
           "  --fans LIST      fan speeds in RPM (e.g. 900,1200,0)\n"
           "  --animate        let the values drift smoothly, updated once a second\n"
           "  --duration S     stop by itself after S seconds (default: run until stopped)\n"
           "  --not-live       publish with bit 0 of flags clear (monitor not publishing)\n"
           "  --version N      publish layout version N instead of 1 (malformed block)\n"
           "  --size N         declare N bytes instead of 402 (malformed block)\n"
           "  --counts T,F,E   publish these counts instead of the list lengths\n"
           "  --stop           ask a running kdmonitor to stop, then exit\n"
           "  --help           show this text\n"
           "\n"
           "Ctrl+C, --duration or 'kdmonitor --stop' ends it cleanly: the block is marked\n"
           "not publishing, the window destroyed and the mapping closed.\n"
           "With neither --temps nor --fans it publishes 45.50,52.25 degrees and 900,1200,0 RPM.\n"
           "Exit codes: 0 after a clean stop, 1 when it cannot publish, 2 on a bad option.\n";
}
