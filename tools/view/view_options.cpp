// Parses kdview's command line into ViewOptions and holds its usage text.
#include "view_options.h"

#include "exit_codes.h"
#include "number_reader.h"
#include "wine_host.h"

namespace {

constexpr int kMinWidth = 240, kMinHeight = 180, kMaxSide = 8192;

// "WxH" in pixels, each side within its bounds.
bool ParseSize(const std::string &text, int &width, int &height) {
    size_t x = text.find_first_of("xX");
    int64_t w = 0, h = 0;
    if (x == std::string::npos ||
        ReadWhole(std::string_view(text).substr(0, x), kMinWidth, kMaxSide, w) !=
            NumberRead::Taken ||
        ReadWhole(std::string_view(text).substr(x + 1), kMinHeight, kMaxSide, h) !=
            NumberRead::Taken) {
        return false;
    }
    width = int(w);
    height = int(h);
    return true;
}

// The parse's own record: the options, and whether --after was given.
struct ViewParse : ViewOptions {
    bool afterGiven = false;
};

using Row = Option<ViewParse>;
const std::vector<Row> kOptions = {
    PluginRow<ViewParse>("the plug-in to load (default: KelvoDyn.dll beside kdview.exe)"),
    IntervalRow<ViewParse>("time between two readings and redraws (default 1000)"),
    DurationRow<ViewParse>("close the window by itself after S seconds (0, the default:\n"
                           "until it is closed)"),
    {"--size", "WxH", OptionValue::Required,
     "size of the window's drawing area in pixels (default 960x600)",
     [](ViewParse &p, const OptionText &v, std::string &error) {
         if (!ParseSize(*v, p.width, p.height)) {
             error = "--size takes WIDTHxHEIGHT in pixels, from " + std::to_string(kMinWidth) +
                     "x" + std::to_string(kMinHeight) + " to " + std::to_string(kMaxSide) + "x" +
                     std::to_string(kMaxSide) + ", e.g. 960x600";
             return false;
         }
         return true;
     }},
    FileRow<ViewParse>(&ViewParse::snapshotPath, "--snapshot", "FILE",
                       "after --after seconds, write the picture to FILE as a PNG\n"
                       "(at --size, whatever the screen), then close the window",
                       "--snapshot takes the name of the PNG file to write"),
    DecimalRow<ViewParse>(&ViewParse::snapshotAfterSeconds, "--after", "S",
                          "when to write the snapshot (default 5)", 0, 1e6,
                          "--after takes seconds, e.g. 5", &ViewParse::afterGiven),
    VersionRow<ViewParse>("print kdview's version"),
    HelpRow<ViewParse>(),
};

// Options that cannot go together, as a sentence; "" when they all can.
std::string Conflict(const ViewParse &parse) {
    if (parse.afterGiven && parse.snapshotPath.empty()) {
        return "--after says when to write the picture of --snapshot FILE; give both";
    }
    if (parse.durationGiven && !parse.snapshotPath.empty()) {
        return "--snapshot ends kdview itself once the picture is written; leave out --duration";
    }
    return "";
}

} // namespace

std::optional<ViewOptions> ParseViewOptions(const std::vector<std::string> &args,
                                            std::string &error) {
    return ParseToolOptions<ViewOptions>(args, kOptions, Conflict, error);
}

const char kTitle[] = "kdview - load KelvoDyn.dll as a monitoring host does and draw its sources\n"
                      "\n";

// What follows the rule of values.
const char kUsageEnd[] =
    "\n"
    "Each chart shows the source's name, its value and unit (or \"no reading\"), and\n"
    "its last 150 readings as a line: a reading the plug-in cannot give is a gap,\n"
    "and a value outside the scale sits at the chart's edge under a triangle.\n"
    "Temperatures are drawn in orange, fans in blue. Sources come and go with the\n"
    "monitor's counts; when the plug-in reports none, the last charts stay, greyed,\n"
    "under a banner that says why, until the sources return.\n"
    "\n";

const char kSnapshotWithoutDisplay[] =
    "xvfb-run -a sh -c 'wine kdmonitor.exe --duration 30 & wine kdview.exe --snapshot out.png "
    "--after 5'";

std::string ViewUsage() {
    const std::string session =
        RunsUnderWine()
            ? std::string("kdview needs a graphical session. Under Wine without a display, start the\n"
                          "monitor and kdview under one X server for a snapshot:\n  ") +
                  kSnapshotWithoutDisplay + "\n"
            : "kdview needs a graphical session: run it from the desktop, not from a service\n"
              "or a remote shell without one.\n";
    return kTitle +
           UsageHead(ToolName(Tool::View),
                     "open a window with one live chart per source, each on its\n"
                     "own scale with its gridlines, until the window is closed") +
           OptionsHelp(kOptions) + "\n" + ValueRuleHelp("--plugin", "PATH") + kUsageEnd + session +
           "\n" + ExitCodesHelp(Tool::View);
}
