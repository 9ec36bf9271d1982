// Parses kdhost's command line into HostOptions and holds its usage text.
#include "host_options.h"

#include "autostart_arguments.h"
#include "exit_codes.h"
#include "module_header.h"
#include "monitor_link/shared_sensor_block.h"
#include "settings_words.h"
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
std::string Conflict(const HostOptions &options) {
    const bool intervalGiven = options.intervalGiven;
    const bool timingGiven = options.intervalGiven || options.durationGiven;
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

// The parse's own record: the options, and whether a format was chosen.
struct HostParse : HostOptions {
    bool formatGiven = false;
};

bool Format(HostParse &parse, OutputFormat format, std::string &error) {
    if (parse.formatGiven) {
        error = "choose one of --json and --csv";
        return false;
    }
    parse.formatGiven = true;
    parse.format = format;
    return true;
}

using Row = Option<HostParse>;
const std::vector<Row> kOptions = {
    PluginRow<HostParse>("the plug-in to load (default: KelvoDyn.dll beside kdhost.exe)"),
    FlagRow<HostParse>(&HostParse::watch, "--watch",
                       "redraw the table every interval, with a sparkline of each\n"
                       "source's recent values on its own scale, until Ctrl+C"),
    IntervalRow<HostParse>("time between two redraws while watching (default 1000)"),
    DurationRow<HostParse>("stop watching (or serving) by itself after S seconds\n"
                           "(0, the default: until Ctrl+C)"),
    {"--json", "", OptionValue::None, "print one snapshot as JSON",
     [](HostParse &p, const OptionText &, std::string &error) {
         return Format(p, OutputFormat::Json, error);
     }},
    {"--csv", "", OptionValue::None, "print one snapshot as CSV, with a header row",
     [](HostParse &p, const OptionText &, std::string &error) {
         return Format(p, OutputFormat::Csv, error);
     }},
    FileRow<HostParse>(&HostParse::logPath, "--log", "FILE",
                       "append timestamped CSV rows to FILE: one set per redraw while\n"
                       "watching, or one set for a single snapshot. A new or empty\n"
                       "file gets the header first; an existing file is written to\n"
                       "only when it is a recording with the same header",
                       "--log needs a file name, not an empty one"),
    FlagRow<HostParse>(&HostParse::diagnose, "--diagnose",
                       "read the shared block \"" SHARED_BLOCK_NAME "\" directly (read-\n"
                       "only, without the plug-in), say why the plug-in would show\n"
                       "nothing or that the monitor is live, and print the block's\n"
                       "header and slots"),
    {"--serve", "[ADDR:]PORT", OptionValue::Required,
     "answer HTTP requests on PORT until Ctrl+C or --duration:\n"
     "/metrics in the Prometheus text format, /data.json (as\n"
     "--json) and / (a page with the table); each request reads\n"
     "the plug-in afresh. A bare port listens on 127.0.0.1 only;\n"
     "0.0.0.0:PORT (or [::]:PORT) makes it reachable from other\n"
     "machines (the endpoint has no login). Port 0 takes any free\n"
     "port; the line printed says where it listens",
     [](HostParse &p, const OptionText &v, std::string &error) {
         p.serve = true;
         return ParseListenAddress(*v, p.listen, error);
     }},
    {"--check-settings", "[FILE]", OptionValue::Optional,
     "read the settings file beside the plug-in (or FILE) as the\n"
     "plug-in does, say line by line what it reads otherwise than\n"
     "meant (UTF-8 text, comments after values, unknown keys,\n"
     "equal names, names cut at " SETTINGS_NAME_CHARS_TEXT " characters) and what each\n"
     "source is called; the exit code says if anything is wrong\n"
     "(no file beside the plug-in: the defaults apply, exit 0)",
     [](HostParse &p, const OptionText &v, std::string &error) {
         p.checkSettings = true;
         return !v || TakeFileName(v, "--check-settings takes a file name, not an empty one",
                                   p.settingsPath, error);
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
                 p.autostart = action.action;
                 return true;
             }
         }
         error = "--autostart takes install, remove or show, not " + QuotedText(*v, 40);
         return false;
     }},
    VersionRow<HostParse>("print kdhost's version"),
    HelpRow<HostParse>(),
};

} // namespace

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string> &args,
                                            std::string &error) {
    return ParseToolOptions<HostOptions>(args, kOptions, Conflict, error);
}

// What follows the rule of values.
const char kUsageEnd[] =
    "\n"
    "A value the plug-in cannot give shows as \"no reading\" (null in JSON, empty in\n"
    "CSV). The group is taken from the unit: degrees mean temperature, RPM a fan.\n"
    "Text from the plug-in is in the Windows ANSI code page; on a console it is shown\n"
    "as such, and everything written to a pipe or a file (table, JSON, CSV, log) is\n"
    "UTF-8. Escape codes are used only to redraw in place on a console.\n"
    "While watching, sources come and go with the monitor's counts; when the monitor\n"
    "stops, the last sources stay listed with \"no reading\" until it returns.\n"
    "\n";
std::string HostUsage() {
    const std::string bits = HostBitness();
    std::string header = "kdhost (" + bits + ") - load KelvoDyn.dll as a monitoring host does";
    header += " and show its sources\n\nThis kdhost is a " + bits + " host and loads the ";
    header += std::string(HostArch()) + " build of the plug-in, as a\n" + bits;
    header += " monitoring host does (Task Manager shows \"(32 bit)\" after a 32-bit\n";
    header += "process).\n\n";
    return header +
           UsageHead(ToolName(Tool::Host),
                     "print one table of all sources: index, group, name, value\n"
                     "and unit, and the scale (min, max, divisions)") +
           OptionsHelp(kOptions) + "\n" + ValueRuleHelp("--plugin", "PATH") + kUsageEnd +
           ExitCodesHelp(Tool::Host);
}
