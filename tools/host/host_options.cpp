// Parses kdhost's command line into HostOptions and holds its usage text.
#include "host_options.h"

#include "autostart_arguments.h"
#include "module_header.h"
#include "option_table.h"
#include "option_values.h"
#include "terminal_text.h"

namespace {

// --autostart install takes what serving takes; remove and show take nothing.
std::string AutostartConflict(const HostOptions &options, bool timingGiven, bool intervalGiven) {
    const bool otherMode = options.watch || options.diagnose || options.checkSettings ||
                           intervalGiven || options.format != OutputFormat::Table ||
                           !options.logPath.empty();
    if (options.autostart == AutostartAction::Install) {
        return otherMode ? "--autostart install takes the options of --serve: --serve "
                           "[ADDR:]PORT and --plugin PATH"
                         : UnattendedServeProblem(options, "--autostart install");
    }
    if (otherMode || options.serve || timingGiven || !options.pluginPath.empty()) {
        return std::string("--autostart ") +
               (options.autostart == AutostartAction::Remove ? "remove" : "show") +
               " takes no other options: it acts on what is registered";
    }
    return "";
}

// Combinations that cannot mean anything; the first one found, as a sentence.
std::string Conflict(const HostOptions &options, bool timingGiven, bool intervalGiven) {
    if (options.autostart != AutostartAction::None) {
        return AutostartConflict(options, timingGiven, intervalGiven);
    }
    if (options.checkSettings &&
        (options.watch || options.diagnose || options.serve || timingGiven ||
         options.format != OutputFormat::Table || !options.logPath.empty())) {
        return "--check-settings reads the settings file and takes only --plugin";
    }
    if (options.serve && (options.watch || options.diagnose || intervalGiven ||
                          options.format != OutputFormat::Table || !options.logPath.empty())) {
        return "--serve answers every request with a fresh snapshot and takes only --plugin and "
               "--duration";
    }
    if (options.diagnose && (options.watch || options.format != OutputFormat::Table ||
                             !options.pluginPath.empty() || !options.logPath.empty())) {
        return "--diagnose reads the shared block without the plug-in and takes no other options";
    }
    if (options.watch && options.format != OutputFormat::Table) {
        return "--json and --csv print one snapshot; to record while watching use --log FILE";
    }
    if (timingGiven && !options.watch && !options.serve) {
        return "--interval and --duration need --watch";
    }
    return "";
}

// The parse's own record: the options, and what only their combination tells.
struct HostParse {
    HostOptions options;
    bool formatGiven = false;
    bool timingGiven = false;
    bool intervalGiven = false;
};

bool Format(HostParse &parse, OutputFormat format, std::string &error) {
    if (parse.formatGiven) {
        error = "choose one of --json and --csv";
        return false;
    }
    parse.formatGiven = true;
    parse.options.format = format;
    return true;
}

using Row = Option<HostParse>;
const std::vector<Row> kOptions = {
    {"--plugin", "PATH", OptionValue::Required,
     "the plug-in to load (default: KelvoDyn.dll beside kdhost.exe)",
     [](HostParse &p, const OptionText &v, std::string &error) {
         return TakeFileName(v, "--plugin needs a file name, not an empty one",
                             p.options.pluginPath, error);
     }},
    {"--watch", "", OptionValue::None,
     "redraw the table every interval, with a sparkline of each\n"
     "source's recent values on its own scale, until Ctrl+C",
     [](HostParse &p, const OptionText &, std::string &) { return p.options.watch = true; }},
    {"--interval", "MS", OptionValue::Required,
     "time between two redraws while watching (default 1000)",
     [](HostParse &p, const OptionText &v, std::string &error) {
         p.timingGiven = p.intervalGiven = true;
         return ParseInterval(*v, p.options.intervalMs, error);
     }},
    {"--duration", "S", OptionValue::Required,
     "stop watching (or serving) by itself after S seconds\n"
     "(0, the default: until Ctrl+C)",
     [](HostParse &p, const OptionText &v, std::string &error) {
         p.timingGiven = true;
         return ParseDuration(*v, p.options.durationSeconds, error);
     }},
    {"--json", "", OptionValue::None, "print one snapshot as JSON",
     [](HostParse &p, const OptionText &, std::string &error) {
         return Format(p, OutputFormat::Json, error);
     }},
    {"--csv", "", OptionValue::None, "print one snapshot as CSV, with a header row",
     [](HostParse &p, const OptionText &, std::string &error) {
         return Format(p, OutputFormat::Csv, error);
     }},
    {"--log", "FILE", OptionValue::Required,
     "append timestamped CSV rows to FILE: one set per redraw while\n"
     "watching, or one set for a single snapshot. A new or empty\n"
     "file gets the header first; an existing file is written to\n"
     "only when it is a recording with the same header",
     [](HostParse &p, const OptionText &v, std::string &error) {
         return TakeFileName(v, "--log needs a file name, not an empty one", p.options.logPath,
                             error);
     }},
    {"--diagnose", "", OptionValue::None,
     "read the shared block \"KDSharedMemory_RUD\" directly (read-\n"
     "only, without the plug-in), say why the plug-in would show\n"
     "nothing or that the monitor is live, and print the block's\n"
     "header and slots",
     [](HostParse &p, const OptionText &, std::string &) { return p.options.diagnose = true; }},
    {"--serve", "[ADDR:]PORT", OptionValue::Required,
     "answer HTTP requests on PORT until Ctrl+C or --duration:\n"
     "/metrics in the Prometheus text format, /data.json (as\n"
     "--json) and / (a page with the table); each request reads\n"
     "the plug-in afresh. A bare port listens on 127.0.0.1 only;\n"
     "0.0.0.0:PORT (or [::]:PORT) makes it reachable from other\n"
     "machines (the endpoint has no login). Port 0 takes any free\n"
     "port; the line printed says where it listens",
     [](HostParse &p, const OptionText &v, std::string &error) {
         p.options.serve = true;
         return ParseListenAddress(*v, p.options.listen, error);
     }},
    {"--check-settings", "[FILE]", OptionValue::Optional,
     "read the settings file beside the plug-in (or FILE)\n"
     "as the plug-in reads it and say, line by line, what it\n"
     "reads differently from what was meant (UTF-8 text, comments\n"
     "after values, keys it never reads, names cut at 31\n"
     "characters, equal names); then what each source is called.\n"
     "Exit code 0: nothing to fix; 1: something to fix; 4: the\n"
     "file cannot be read",
     [](HostParse &p, const OptionText &v, std::string &error) {
         p.options.checkSettings = true;
         return !v || TakeFileName(v, "--check-settings takes a file name, not an empty one",
                                   p.options.settingsPath, error);
     }},
    {"--autostart", "ACTION", OptionValue::Required,
     "the server started at each logon of this user, with no\n"
     "console window, and started again when it ends: 'install'\n"
     "with the --serve options registers it (replacing what was\n"
     "registered) and starts it now; 'show' says what is\n"
     "registered, whether it runs, where it serves and where its\n"
     "log is; 'remove' stops it and removes the registration\n"
     "(docs/unattended.md)",
     [](HostParse &p, const OptionText &v, std::string &error) {
         const struct {
             const char *word;
             AutostartAction action;
         } kActions[] = {{"install", AutostartAction::Install},
                         {"remove", AutostartAction::Remove},
                         {"show", AutostartAction::Show}};
         for (const auto &action : kActions) {
             if (*v == action.word) {
                 p.options.autostart = action.action;
                 return true;
             }
         }
         error = "--autostart takes install, remove or show, not '" + TerminalText(*v) + "'";
         return false;
     }},
    {"--version", "", OptionValue::None, "print kdhost's version",
     [](HostParse &p, const OptionText &, std::string &) { return p.options.version = true; }},
    {"--help -h /?", "", OptionValue::None, "show this text",
     [](HostParse &p, const OptionText &, std::string &) { return p.options.help = true; }},
};

} // namespace

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string> &args,
                                            std::string &error) {
    HostParse parse;
    if (!WalkOptions(args, kOptions, parse, error)) {
        return std::nullopt;
    }
    const HostOptions &options = parse.options;
    if (options.help || options.version) {
        return options;
    }
    error = Conflict(options, parse.timingGiven, parse.intervalGiven);
    if (!error.empty()) {
        return std::nullopt;
    }
    return options;
}

// What follows the header line and the bitness paragraph.
const char kUsage[] =
    "Usage: kdhost [options]\n"
    "  (no option)      print one table of all sources: index, group, name, value\n"
    "                   and unit, and the scale (min, max, divisions)\n";
// What follows the option lines.
const char kUsageEnd[] =
    "\n"
    "An option's value may follow it or be joined to it: --plugin PATH or\n"
    "--plugin=PATH. Each option with a value may be given once.\n"
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
    "     publishes readings); while watching, at the last redraw; with --serve,\n"
    "     once stopped\n"
    "  1  it reports none (with --diagnose: the plug-in would show nothing)\n"
    "  2  a bad command line\n"
    "  3  the plug-in cannot be loaded or lacks one of GetSourcesNum, GetSourceDesc\n"
    "     and GetSourceData\n"
    "  4  the log file cannot be opened or written (a full disk ends the log)\n"
    "  5  the log file is there and is no recording with the same header: it is\n"
    "     left as it is\n"
    "  6  --serve: the port is in use by another program\n"
    "  7  --serve: the address is not this machine's, or cannot be served\n"
    "     (broadcast, multicast, an IPv4 address in IPv6 form)\n"
    "With --autostart: 0 it serves (remove: nothing is left); 1 it does not\n"
    "(show: nothing registered, or not running or answering); 4 kdserve.exe is\n"
    "not beside kdhost.exe, or the Run key cannot be written; 3, 6 and 7 as for\n"
    "--serve\n";

std::string HostUsage() {
    const std::string bits = HostBitness();
    std::string header = "kdhost (" + bits + ") - load KelvoDyn.dll as a monitoring host does";
    header += " and show its sources\n\nThis kdhost is a " + bits + " host and loads the ";
    header += std::string(HostArch()) + " build of the plug-in, as a\n" + bits;
    header += " monitoring host does (Task Manager shows \"(32 bit)\" after a 32-bit\n";
    header += "process).\n\n";
    return header + kUsage + OptionsHelp(kOptions) + kUsageEnd;
}
