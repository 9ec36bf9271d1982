// Parses kdhost's command line into HostOptions and holds its usage text.
#include "host_options.h"

#include "option_values.h"

namespace {

// Combinations that cannot mean anything; the first one found, as a sentence.
std::string Conflict(const HostOptions &options, bool timingGiven) {
    if (options.diagnose && (options.watch || options.format != OutputFormat::Table ||
                             !options.pluginPath.empty() || !options.logPath.empty())) {
        return "--diagnose reads the shared block without the plug-in and takes no other options";
    }
    if (options.watch && options.format != OutputFormat::Table) {
        return "--json and --csv print one snapshot; to record while watching use --log FILE";
    }
    if (timingGiven && !options.watch) {
        return "--interval and --duration need --watch";
    }
    return "";
}

} // namespace

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string> &args,
                                            std::string &error) {
    HostOptions options;
    bool formatGiven = false;
    bool timingGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        auto value = [&](std::string &out) { return TakeValue(args, i, out, error); };
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.help = true;
        } else if (arg == "--watch") {
            options.watch = true;
        } else if (arg == "--diagnose") {
            options.diagnose = true;
        } else if (arg == "--json" || arg == "--csv") {
            if (formatGiven) {
                error = "choose one of --json and --csv";
                return std::nullopt;
            }
            formatGiven = true;
            options.format = arg == "--json" ? OutputFormat::Json : OutputFormat::Csv;
        } else if (arg == "--plugin") {
            if (!value(options.pluginPath)) {
                return std::nullopt;
            }
        } else if (arg == "--log") {
            if (!value(options.logPath)) {
                return std::nullopt;
            }
        } else if (arg == "--interval") {
            timingGiven = true;
            if (!TakeInterval(args, i, options.intervalMs, error)) {
                return std::nullopt;
            }
        } else if (arg == "--duration") {
            timingGiven = true;
            if (!TakeNumber(args, i, 0.001, 1e6, "--duration takes seconds, e.g. 10",
                            options.durationSeconds, error)) {
                return std::nullopt;
            }
        } else {
            error = "unknown option '" + arg + "' (see --help)";
            return std::nullopt;
        }
    }
    if (options.help) {
        return options;
    }
    error = Conflict(options, timingGiven);
    if (!error.empty()) {
        return std::nullopt;
    }
    return options;
}

const char *HostUsage() {
    return "kdhost - load KelvoDyn.dll as a monitoring host does and show its sources\n"
           "\n"
           "Usage: kdhost [options]\n"
           "  (no option)      print one table of all sources: index, group, name, value\n"
           "                   and unit, and the scale (min, max, divisions)\n"
           "  --plugin PATH    the plug-in to load (default: KelvoDyn.dll beside kdhost.exe)\n"
           "  --watch          redraw the table every interval, with a sparkline of each\n"
           "                   source's recent values on its own scale, until Ctrl+C\n"
           "  --interval MS    time between two redraws while watching (default 1000)\n"
           "  --duration S     stop watching by itself after S seconds\n"
           "  --json           print one snapshot as JSON\n"
           "  --csv            print one snapshot as CSV, with a header row\n"
           "  --log FILE       append timestamped CSV rows to FILE: one set per redraw while\n"
           "                   watching, or one set for a single snapshot; the header is\n"
           "                   written once, when the file is new or empty\n"
           "  --diagnose       read the shared block \"KDSharedMemory_RUD\" directly (read-\n"
           "                   only, without the plug-in), say why the plug-in would show\n"
           "                   nothing or that the monitor is live, and print the block's\n"
           "                   header and slots\n"
           "  --help           show this text\n"
           "\n"
           "A value the plug-in cannot give shows as \"no reading\" (null in JSON, empty in\n"
           "CSV). The group is taken from the unit: degrees mean temperature, RPM a fan.\n"
           "Text from the plug-in is in the Windows ANSI code page; on a console it is shown\n"
           "as such, and everything written to a pipe or a file (table, JSON, CSV, log) is\n"
           "UTF-8. Escape codes are used only to redraw in place on a console.\n"
           "While watching, sources come and go with the monitor's counts; when the monitor\n"
           "stops, the last sources stay listed with \"no reading\" until it returns.\n"
           "\n"
           "Exit codes:\n"
           "  0  the plug-in reports sources (with --diagnose: the monitor is live and\n"
           "     publishes readings); while watching, at the last redraw\n"
           "  1  it reports none (with --diagnose: the plug-in would show nothing)\n"
           "  2  the plug-in cannot be loaded or lacks one of GetSourcesNum, GetSourceDesc\n"
           "     and GetSourceData\n"
           "  3  a bad command line, or a log file that cannot be opened\n";
}
