// Parses the options of the real sources and checks how they combine.
#include "source_options.h"

#include "option_values.h"

const std::vector<Option<MonitorOptions>> &SourceOptions() {
    using Row = Option<MonitorOptions>;
    static const std::vector<Row> rows = {
        {"--hwmon", "[DIR]", OptionValue::Optional,
         "publish the Linux kernel's sensors: /sys/class/hwmon, which\n"
         "is Z:\\sys\\class\\hwmon under Wine, or the tree in DIR (a path\n"
         "starting with / is a Linux path, reached through Z:)",
         [](MonitorOptions &o, const OptionText &v, std::string &) {
             // The folder is optional: "--hwmon --list" reads the kernel's own.
             o.hwmonFolder = v.value_or("");
             return o.hwmon = true;
         }},
        {"--interval", "MS", OptionValue::Required,
         "re-read them every MS milliseconds (default 1000; with\n"
         "--animate: how often the values move)",
         [](MonitorOptions &o, const OptionText &v, std::string &error) {
             return ParseInterval(*v, o.intervalMs, error);
         }},
        {"--fahrenheit", "", OptionValue::None,
         "publish degrees Fahrenheit (for UseFahrenheit=yes)",
         [](MonitorOptions &o, const OptionText &, std::string &) { return o.fahrenheit = true; }},
        {"--list", "", OptionValue::None, "print what --hwmon would publish, then exit",
         [](MonitorOptions &o, const OptionText &, std::string &) { return o.list = true; }},
        {"--write-settings", "FILE", OptionValue::Required,
         "write a settings file naming each sensor, then exit",
         [](MonitorOptions &o, const OptionText &v, std::string &error) {
             return TakeFileName(v, "--write-settings needs the settings file to write",
                                 o.settingsPath, error);
         }},
        {"--force", "", OptionValue::None, "let --write-settings replace an existing FILE",
         [](MonitorOptions &o, const OptionText &, std::string &) { return o.force = true; }},
        {"--replay", "FILE", OptionValue::Required,
         "publish a kdhost --log recording with its own timing",
         [](MonitorOptions &o, const OptionText &v, std::string &error) {
             return TakeFileName(v, "--replay needs the recording to play (a kdhost --log file)",
                                 o.replayPath, error);
         }},
        {"--speed", "X", OptionValue::Required, "replay X times faster (default 1)",
         [](MonitorOptions &o, const OptionText &v, std::string &error) {
             if (!ParseNumber(*v, 0.01, 1000, o.speed)) {
                 error = "--speed takes a factor from 0.01 to 1000, e.g. 10";
                 return false;
             }
             return true;
         }},
        {"--loop", "", OptionValue::None, "start the recording again when it ends",
         [](MonitorOptions &o, const OptionText &, std::string &) { return o.loop = true; }},
    };
    return rows;
}

std::string SourceConflict(MonitorOptions &options) {
    const bool replay = !options.replayPath.empty();
    const bool sensorTools = options.list || !options.settingsPath.empty();
    if (replay && (options.hwmon || sensorTools || options.fahrenheit)) {
        return "--replay publishes a recording; --hwmon, --list, --write-settings and "
               "--fahrenheit are for the kernel's sensors";
    }
    options.hwmon = options.hwmon || sensorTools;
    if ((options.hwmon || replay) && (options.valuesGiven || options.animate)) {
        return "--temps, --fans and --animate make simulated values; they do not go with "
               "--hwmon or --replay";
    }
    if (options.fahrenheit && !options.hwmon) {
        return "--fahrenheit converts the kernel's sensors: use it with --hwmon";
    }
    if (options.force && options.settingsPath.empty()) {
        return "--force lets --write-settings replace a file; there is no --write-settings";
    }
    if ((options.speed != 1 || options.loop) && !replay) {
        return "--speed and --loop go with --replay";
    }
    if (replay && options.intervalMs != 1000) {
        return "--replay keeps the recording's own timing; --speed makes it faster";
    }
    return "";
}

std::string SourceUsage() {
    return "\n"
           "Real readings, instead of simulated ones:\n" +
           OptionsHelp(SourceOptions()) +
           "--duration, Ctrl+C and --stop end these as well; a recording also ends by\n"
           "itself. --list and --write-settings print or write, then exit: 0 when done,\n"
           "1 when no sensor was found, 5 when FILE exists (see --force), 4 when FILE\n"
           "cannot be written (an existing one stays as it was). --replay: 1 for a file\n"
           "that is no recording or holds no usable row, 4 when it cannot be opened, 9\n"
           "when rows were skipped or the rest could not be read (a summary says so).\n";
}
