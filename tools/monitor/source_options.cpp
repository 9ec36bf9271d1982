// Parses the options of the real sources and checks how they combine.
#include "source_options.h"

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
        IntervalRow<MonitorOptions>("re-read them every MS milliseconds (default 1000; with\n"
                                    "--animate: how often the values move)"),
        FlagRow<MonitorOptions>(&MonitorOptions::fahrenheit, "--fahrenheit",
                                "publish degrees Fahrenheit (for UseFahrenheit=yes)"),
        FlagRow<MonitorOptions>(&MonitorOptions::list, "--list",
                                "print what --hwmon would publish, then exit"),
        FileRow<MonitorOptions>(&MonitorOptions::settingsPath, "--write-settings", "FILE",
                                "write a settings file naming each sensor, then exit",
                                "--write-settings needs the settings file to write"),
        FlagRow<MonitorOptions>(&MonitorOptions::force, "--force",
                                "let --write-settings replace an existing FILE"),
        FileRow<MonitorOptions>(&MonitorOptions::replayPath, "--replay", "FILE",
                                "publish a kdhost --log recording with its own timing",
                                "--replay needs the recording to play (a kdhost --log file)"),
        DecimalRow<MonitorOptions>(&MonitorOptions::speed, "--speed", "X",
                                   "replay X times faster (default 1)", 0.01, 1000,
                                   "--speed takes a factor from 0.01 to 1000, e.g. 10"),
        FlagRow<MonitorOptions>(&MonitorOptions::loop, "--loop",
                                "start the recording again when it ends"),
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
           "itself. --list and --write-settings print or write, then exit. --write-settings\n"
           "leaves an existing FILE whole, replaced or not.\n";
}
