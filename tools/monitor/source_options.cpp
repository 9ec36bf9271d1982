// Parses the options of the real sources and checks how they combine.
#include "source_options.h"

#include "option_values.h"

SourceOption ParseSourceOption(CommandLine &line, MonitorOptions &options, std::string &error) {
    const std::string &arg = line.name;
    std::string text;
    double number = 0;
    auto value = [&](std::string &out) { return TakeValue(line, out, error); };
    auto bad = [&](const char *sentence) {
        error = error.empty() ? sentence : error;
        return SourceOption::Bad;
    };
    if (arg == "--hwmon") {
        options.hwmon = true;
        // The folder is optional: "--hwmon --list" reads the kernel's own.
        TakeOptionalValue(line, options.hwmonFolder);
    } else if (arg == "--list") {
        options.list = true;
    } else if (arg == "--fahrenheit") {
        options.fahrenheit = true;
    } else if (arg == "--force") {
        options.force = true;
    } else if (arg == "--loop") {
        options.loop = true;
    } else if (arg == "--write-settings") {
        if (!value(options.settingsPath) || options.settingsPath.empty()) {
            return bad("--write-settings needs the settings file to write");
        }
    } else if (arg == "--replay") {
        if (!value(options.replayPath) || options.replayPath.empty()) {
            return bad("--replay needs the recording to play (a kdhost --log file)");
        }
    } else if (arg == "--interval") {
        if (!value(text) || !ParseNumber(text, 10, 3600000, number) || number != int(number)) {
            return bad("--interval takes milliseconds from 10 to 3600000");
        }
        options.intervalMs = unsigned(number);
    } else if (arg == "--speed") {
        if (!value(text) || !ParseNumber(text, 0.01, 1000, options.speed)) {
            return bad("--speed takes a factor from 0.01 to 1000, e.g. 10");
        }
    } else {
        return SourceOption::NotOurs;
    }
    return SourceOption::Taken;
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

const char *SourceUsage() {
    return "\n"
           "Real readings, instead of simulated ones:\n"
           "  --hwmon [DIR]    publish the Linux kernel's sensors: /sys/class/hwmon, which\n"
           "                   is Z:\\sys\\class\\hwmon under Wine, or the tree in DIR (a path\n"
           "                   starting with / is a Linux path, reached through Z:)\n"
           "  --interval MS    re-read them every MS milliseconds (default 1000; with\n"
           "                   --animate: how often the values move)\n"
           "  --fahrenheit     publish degrees Fahrenheit (for UseFahrenheit=yes)\n"
           "  --list           print what --hwmon would publish, then exit\n"
           "  --write-settings FILE\n"
           "                   write a settings file naming each sensor, then exit\n"
           "  --force          let --write-settings replace an existing FILE\n"
           "  --replay FILE    publish a kdhost --log recording with its own timing\n"
           "  --speed X        replay X times faster (default 1)\n"
           "  --loop           start the recording again when it ends\n"
           "--duration, Ctrl+C and --stop end these as well; a recording also ends by\n"
           "itself. --list and --write-settings print or write, then exit: 0 when done,\n"
           "1 when no sensor was found, 5 when FILE exists (see --force), 4 when FILE\n"
           "cannot be written (an existing one stays as it was). --replay: 1 for a file\n"
           "that is no recording or holds no usable row, 4 when it cannot be opened, 9\n"
           "when rows were skipped or the rest could not be read (a summary says so).\n";
}
