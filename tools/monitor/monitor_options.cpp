// Parses kdmonitor's command line into MonitorOptions.
#include "monitor_options.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "exit_codes.h"
#include "monitor_link/block_fields.h"
#include "number_reader.h"
#include "source_options.h"
#include "terminal_text.h"

namespace {

// "" is no item at all; "45," has an empty second item, refused as such.
std::vector<std::string> SplitList(const std::string &text) {
    std::vector<std::string> items;
    for (size_t start = 0; !text.empty() && start <= text.size();) {
        size_t comma = std::min(text.find(',', start), text.size());
        items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

// Degrees with up to two decimals, exactly, as the block's hundredths: a
// third decimal would be rounded away unseen.
NumberRead ReadTemperatureItem(const std::string &item, int32_t &slot) {
    int64_t hundredths = 0;
    const NumberRead read = ReadScaled(item, 2, kInt32Min, kInt32Max, hundredths);
    slot = int32_t(hundredths);
    return read;
}

NumberRead ReadFanItem(const std::string &item, int32_t &slot) {
    int64_t rpm = 0;
    const NumberRead read = ReadWhole(item, kInt32Min, kInt32Max, rpm);
    slot = int32_t(rpm);
    return read;
}

// How a list option reads its items, and its words for one it refuses.
struct SlotList {
    const char *option;
    NumberRead (*read)(const std::string &item, int32_t &slot);
    const char *noNumber; // "is not ..."
    const char *range;    // what the block holds
    const char *tooPrecise; // a number of more decimals than the block holds, or nullptr
};

const SlotList kTemperatures = {"--temps", ReadTemperatureItem,
                                "is not a temperature in degrees (e.g. 45.5)",
                                "-21474836.48 to 21474836.47",
                                "has more than two decimals (the block holds hundredths of a "
                                "degree)"};
const SlotList kFans = {"--fans", ReadFanItem, "is not a whole number of RPM",
                        "-2147483648 to 2147483647", nullptr};

bool ParseSlots(const SlotList &list, const std::string &text, std::vector<int32_t> &out,
                std::string &error) {
    for (const std::string &item : SplitList(text)) {
        int32_t slot = 0;
        const NumberRead read = list.read(item, slot);
        if (read != NumberRead::Taken) {
            double number = 0;
            const bool tooPrecise = list.tooPrecise != nullptr &&
                                    ReadDecimal(item, -HUGE_VAL, HUGE_VAL, number) ==
                                        NumberRead::Taken;
            error = std::string(list.option) + ": '" + TerminalText(item) + "' " +
                    (read == NumberRead::OutOfRange
                         ? "is out of range (the block holds " + std::string(list.range) + ")"
                     : tooPrecise ? std::string(list.tooPrecise)
                                  : std::string(list.noNumber));
            return false;
        }
        out.push_back(slot);
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
        if (ReadWhole(items[i], 0, 0xFFFF, count) != NumberRead::Taken) {
            error = "--counts: '" + TerminalText(items[i]) + "' is not a count from 0 to 65535";
            return false;
        }
        options.counts[i] = uint16_t(count);
    }
    return true;
}

// "--version N" once published layout version N: say what does so now.
bool LayoutVersionMistake(const std::vector<std::string> &args, std::string &error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const bool joined = args[i].rfind("--version=", 0) == 0;
        const std::string given = joined ? args[i].substr(10)
                                  : args[i] == "--version" && i + 1 < args.size() ? args[i + 1]
                                                                                  : "";
        double layout = 0;
        if (ReadDecimal(given, -HUGE_VAL, HUGE_VAL, layout) != NumberRead::NoNumber) {
            error = "--version prints kdmonitor's version; to publish layout version " + given +
                    " use --layout-version " + given;
            return true;
        }
    }
    return false;
}

using Row = Option<MonitorOptions>;
const std::vector<Row> kOptions = {
    {"--temps", "LIST", OptionValue::Required,
     "temperatures in degrees, two decimals (e.g. 45.5,52)",
     [](MonitorOptions &o, const OptionText &v, std::string &error) {
         o.valuesGiven = true;
         return ParseSlots(kTemperatures, *v, o.temps, error);
     }},
    {"--fans", "LIST", OptionValue::Required, "fan speeds in RPM (e.g. 900,1200,0)",
     [](MonitorOptions &o, const OptionText &v, std::string &error) {
         o.valuesGiven = true;
         return ParseSlots(kFans, *v, o.fans, error);
     }},
    FlagRow<MonitorOptions>(&MonitorOptions::animate, "--animate",
                            "let the values drift smoothly, updated once a second"),
    DurationRow<MonitorOptions>("stop by itself after S seconds (0, the default: run until\n"
                                "stopped)"),
    {"--not-live", "", OptionValue::None,
     "publish with bit 0 of flags clear (monitor not publishing)",
     [](MonitorOptions &o, const OptionText &, std::string &) {
         o.live = false;
         return true;
     }},
    {"--layout-version", "N", OptionValue::Required,
     "publish layout version N instead of 1 (malformed block)",
     [](MonitorOptions &o, const OptionText &v, std::string &error) {
         int64_t number = 0;
         const bool taken = TakeWholeNumber(
             v, 0, 0xFFFF, "--layout-version takes a number from 0 to 65535", number, error);
         o.layoutVersion = uint16_t(number);
         return taken;
     }},
    {"--size", "N", OptionValue::Required, "declare N bytes instead of 402 (malformed below 402)",
     [](MonitorOptions &o, const OptionText &v, std::string &error) {
         int64_t number = 0;
         if (!TakeWholeNumber(v, 0, 0xFFFFFFFFll,
                              "--size takes a number of bytes from 0 to 4294967295", number,
                              error)) {
             return false;
         }
         o.size = uint32_t(number);
         return true;
     }},
    {"--counts", "T,F,E", OptionValue::Required, "publish these counts instead of the list lengths",
     [](MonitorOptions &o, const OptionText &v, std::string &error) {
         return ParseCounts(*v, o, error);
     }},
    FlagRow<MonitorOptions>(&MonitorOptions::stopRunning, "--stop",
                            "ask a running kdmonitor to stop, then exit"),
    VersionRow<MonitorOptions>("print kdmonitor's version"),
    HelpRow<MonitorOptions>(),
};

// Every option kdmonitor takes: its own, then those of the real sources.
const std::vector<Row> &AllOptions() {
    static const std::vector<Row> all = [] {
        std::vector<Row> rows = kOptions;
        rows.insert(rows.end(), SourceOptions().begin(), SourceOptions().end());
        return rows;
    }();
    return all;
}

// The first option given other than --stop, as --help names it; "" for none.
std::string OptionBesideStop(const std::vector<std::string> &args) {
    std::string other, unused;
    WalkForms(args, FormsOf(AllOptions()),
              [&](size_t row, const OptionText &, std::string &) {
                  const std::string names = AllOptions()[row].names;
                  const std::string name = names.substr(0, names.find(' '));
                  if (other.empty() && name != "--stop") {
                      other = name;
                  }
                  return true;
              },
              unused);
    return other;
}

} // namespace

std::optional<MonitorOptions> ParseMonitorOptions(const std::vector<std::string> &args,
                                                  std::string &error) {
    MonitorOptions options;
    if (LayoutVersionMistake(args, error) || !WalkOptions(args, AllOptions(), options, error)) {
        return std::nullopt;
    }
    if (options.stopRunning && !options.help && !options.version) {
        const std::string other = OptionBesideStop(args);
        if (!other.empty()) {
            error = "--stop asks the running monitor to stop and takes no other option; " + other +
                    " does not go with it";
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
    // A command line holds far fewer than 2^32 values, so the sizes fit.
    if (CountAboveSlots(uint32_t(options.temps.size())) ||
        CountAboveSlots(uint32_t(options.fans.size()))) {
        const std::string slots = std::to_string(SENSOR_SLOTS);
        error = "the block has room for at most " + slots + " temperatures and " + slots + " fans";
        return std::nullopt;
    }
    return options;
}

const char kUsageStart[] =
    "kdmonitor - simulated, real or recorded readings for KelvoDyn.dll\n"
    "\n"
    "Publishes temperatures and fan speeds in the shared block \"" SHARED_BLOCK_NAME "\"\n"
    "exactly as a hardware monitor does, so the plug-in can be tried without one.\n"
    "\n";

// What follows kdmonitor's own option lines.
const char kUsageEnd[] =
    "\n"
    "With neither --temps nor --fans it publishes 45.50,52.25 degrees and 900,1200,0\n"
    "RPM. Given one of them, the other group is empty unless it is given too:\n"
    "--temps \"\" alone publishes no temperatures and no fans.\n"
    "The start line says when the block is malformed or not live on purpose.\n"
    "Ctrl+C, --duration or 'kdmonitor --stop' ends it cleanly: the block is marked\n"
    "not publishing, the window destroyed and the mapping closed.\n";

std::string MonitorUsage() {
    return kUsageStart + UsageHead(ToolName(Tool::Monitor), nullptr) + OptionsHelp(kOptions) +
           kUsageEnd + "\n" + ValueRuleHelp("--temps", "45.5,52") + SourceUsage() + "\n" +
           ExitCodesHelp(Tool::Monitor);
}
