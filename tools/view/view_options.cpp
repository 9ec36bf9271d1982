// Parses kdview's command line into ViewOptions and holds its usage text.
#include "view_options.h"

#include "option_table.h"
#include "option_values.h"
#include "wine_host.h"

namespace {

constexpr int kMinWidth = 240, kMinHeight = 180, kMaxSide = 8192;

// "WxH" in pixels, each side within its bounds.
bool ParseSize(const std::string &text, int &width, int &height) {
    size_t x = text.find_first_of("xX");
    int64_t w = 0, h = 0;
    if (x == std::string::npos || !ParseInteger(text.substr(0, x), kMinWidth, kMaxSide, w) ||
        !ParseInteger(text.substr(x + 1), kMinHeight, kMaxSide, h)) {
        return false;
    }
    width = int(w);
    height = int(h);
    return true;
}

// The parse's own record: the options, and which of them were given.
struct ViewParse {
    ViewOptions options;
    bool afterGiven = false;
    bool durationGiven = false;
};

using Row = Option<ViewParse>;
const std::vector<Row> kOptions = {
    {"--plugin", "PATH", OptionValue::Required,
     "the plug-in to load (default: KelvoDyn.dll beside kdview.exe)",
     [](ViewParse &p, const OptionText &v, std::string &error) {
         return TakeFileName(v, "--plugin needs a file name, not an empty one",
                             p.options.pluginPath, error);
     }},
    {"--interval", "MS", OptionValue::Required,
     "time between two readings and redraws (default 1000)",
     [](ViewParse &p, const OptionText &v, std::string &error) {
         return ParseInterval(*v, p.options.intervalMs, error);
     }},
    {"--duration", "S", OptionValue::Required,
     "close the window by itself after S seconds (0, the default:\n"
     "until it is closed)",
     [](ViewParse &p, const OptionText &v, std::string &error) {
         p.durationGiven = true;
         return ParseDuration(*v, p.options.durationSeconds, error);
     }},
    {"--size", "WxH", OptionValue::Required,
     "size of the window's drawing area in pixels (default 960x600)",
     [](ViewParse &p, const OptionText &v, std::string &error) {
         if (!ParseSize(*v, p.options.width, p.options.height)) {
             error = "--size takes WIDTHxHEIGHT in pixels, from " + std::to_string(kMinWidth) +
                     "x" + std::to_string(kMinHeight) + " to " + std::to_string(kMaxSide) + "x" +
                     std::to_string(kMaxSide) + ", e.g. 960x600";
             return false;
         }
         return true;
     }},
    {"--snapshot", "FILE", OptionValue::Required,
     "after --after seconds, write what the window shows to FILE\n"
     "as a PNG picture, then close it",
     [](ViewParse &p, const OptionText &v, std::string &error) {
         return TakeFileName(v, "--snapshot takes the name of the PNG file to write",
                             p.options.snapshotPath, error);
     }},
    {"--after", "S", OptionValue::Required, "when to write the snapshot (default 5)",
     [](ViewParse &p, const OptionText &v, std::string &error) {
         p.afterGiven = true;
         if (!ParseNumber(*v, 0, 1e6, p.options.snapshotAfterSeconds)) {
             error = "--after takes seconds, e.g. 5";
             return false;
         }
         return true;
     }},
    {"--version", "", OptionValue::None, "print kdview's version",
     [](ViewParse &p, const OptionText &, std::string &) { return p.options.version = true; }},
    {"--help -h /?", "", OptionValue::None, "show this text",
     [](ViewParse &p, const OptionText &, std::string &) { return p.options.help = true; }},
};

// Options that cannot go together, as a sentence; "" when they all can.
std::string Conflict(const ViewParse &parse) {
    if (parse.afterGiven && parse.options.snapshotPath.empty()) {
        return "--after says when to write the picture of --snapshot FILE; give both";
    }
    if (parse.durationGiven && !parse.options.snapshotPath.empty()) {
        return "--snapshot ends kdview itself once the picture is written; leave out --duration";
    }
    return "";
}

} // namespace

std::optional<ViewOptions> ParseViewOptions(const std::vector<std::string> &args,
                                            std::string &error) {
    ViewParse parse;
    if (!WalkOptions(args, kOptions, parse, error)) {
        return std::nullopt;
    }
    if (parse.options.help || parse.options.version) {
        return parse.options;
    }
    error = Conflict(parse);
    if (!error.empty()) {
        return std::nullopt;
    }
    return parse.options;
}

const char kUsageStart[] =
    "kdview - load KelvoDyn.dll as a monitoring host does and draw its sources\n"
    "\n"
    "Usage: kdview [options]\n"
    "  (no option)      open a window with one live chart per source, each on its\n"
    "                   own scale with its gridlines, until the window is closed\n";

// What follows the option lines.
const char kUsageEnd[] =
    "\n"
    "An option's value may follow it or be joined to it: --plugin PATH or\n"
    "--plugin=PATH. Each option with a value may be given once.\n"
    "\n"
    "Each chart shows the source's name, its value and unit (or \"no reading\"), and\n"
    "its last 150 readings as a line: a reading the plug-in cannot give is a gap,\n"
    "and a value outside the scale sits at the chart's edge under a triangle.\n"
    "Temperatures are drawn in orange, fans in blue. Sources come and go with the\n"
    "monitor's counts; when the plug-in reports none, the last charts stay, greyed,\n"
    "under a banner that says why, until the sources return.\n"
    "\n";

// What follows, after the word on graphical sessions for this platform.
const char kExitCodes[] =
    "\n"
    "Exit codes:\n"
    "  0  the window was closed, or the snapshot was written\n"
    "  2  a bad command line\n"
    "  3  the plug-in cannot be loaded or lacks one of GetSourcesNum, GetSourceDesc\n"
    "     and GetSourceData\n"
    "  4  the snapshot file cannot be written\n"
    "  8  there is no graphical session to open a window in\n";

std::string ViewUsage() {
    const char *session =
        RunsUnderWine()
            ? "kdview needs a graphical session. Under Wine without a display, xvfb-run gives\n"
              "one for a snapshot: xvfb-run -a wine kdview.exe --snapshot out.png --after 5\n"
            : "kdview needs a graphical session: run it from the desktop, not from a service\n"
              "or a remote shell without one.\n";
    return kUsageStart + OptionsHelp(kOptions) + kUsageEnd + session + kExitCodes;
}
