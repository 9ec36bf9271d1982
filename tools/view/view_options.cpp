// Parses kdview's command line into ViewOptions and holds its usage text.
#include "view_options.h"

#include "option_values.h"
#include "terminal_text.h"

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

} // namespace

std::optional<ViewOptions> ParseViewOptions(const std::vector<std::string> &args,
                                            std::string &error) {
    ViewOptions options;
    bool afterGiven = false, durationGiven = false;
    for (CommandLine line{args}; NextOption(line);) {
        const std::string &arg = line.name;
        auto value = [&](std::string &out) { return TakeValue(line, out, error); };
        std::string text;
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--plugin") {
            if (!value(options.pluginPath)) {
                return std::nullopt;
            }
            if (options.pluginPath.empty()) {
                error = "--plugin needs a file name, not an empty one";
                return std::nullopt;
            }
        } else if (arg == "--interval") {
            if (!TakeInterval(line, options.intervalMs, error)) {
                return std::nullopt;
            }
        } else if (arg == "--duration") {
            durationGiven = true;
            if (!value(text) || !ParseDuration(text, options.durationSeconds, error)) {
                return std::nullopt;
            }
        } else if (arg == "--size") {
            if (!value(text) || !ParseSize(text, options.width, options.height)) {
                error = error.empty()
                            ? "--size takes WIDTHxHEIGHT in pixels, from " +
                                  std::to_string(kMinWidth) + "x" + std::to_string(kMinHeight) +
                                  " to " + std::to_string(kMaxSide) + "x" +
                                  std::to_string(kMaxSide) + ", e.g. 960x600"
                            : error;
                return std::nullopt;
            }
        } else if (arg == "--snapshot") {
            if (!value(options.snapshotPath)) {
                return std::nullopt;
            }
            if (options.snapshotPath.empty()) {
                error = "--snapshot takes the name of the PNG file to write";
                return std::nullopt;
            }
        } else if (arg == "--after") {
            afterGiven = true;
            if (!TakeNumber(line, 0, 1e6, "--after takes seconds, e.g. 5",
                            options.snapshotAfterSeconds, error)) {
                return std::nullopt;
            }
        } else {
            error = "unknown option '" + TerminalText(arg) + "' (see --help)";
            return std::nullopt;
        }
        if (!NoValueLeft(line, error)) {
            return std::nullopt;
        }
    }
    if (options.help || options.version) {
        return options;
    }
    if (afterGiven && options.snapshotPath.empty()) {
        error = "--after says when to write the picture of --snapshot FILE; give both";
        return std::nullopt;
    }
    if (durationGiven && !options.snapshotPath.empty()) {
        error = "--snapshot ends kdview itself once the picture is written; leave out --duration";
        return std::nullopt;
    }
    return options;
}

const char *ViewUsage() {
    return "kdview - load KelvoDyn.dll as a monitoring host does and draw its sources\n"
           "\n"
           "Usage: kdview [options]\n"
           "  (no option)      open a window with one live chart per source, each on its\n"
           "                   own scale with its gridlines, until the window is closed\n"
           "  --plugin PATH    the plug-in to load (default: KelvoDyn.dll beside kdview.exe)\n"
           "  --interval MS    time between two readings and redraws (default 1000)\n"
           "  --duration S     close the window by itself after S seconds (0, the default:\n"
           "                   until it is closed)\n"
           "  --size WxH       size of the window's drawing area in pixels (default 960x600)\n"
           "  --snapshot FILE  after --after seconds, write what the window shows to FILE\n"
           "                   as a PNG picture, then close it\n"
           "  --after S        when to write the snapshot (default 5)\n"
           "  --version        print kdview's version\n"
           "  --help           show this text\n"
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
           "\n"
           "kdview needs a graphical session. Under Wine without a display, xvfb-run gives\n"
           "one for a snapshot: xvfb-run -a wine kdview.exe --snapshot out.png --after 5\n"
           "\n"
           "Exit codes:\n"
           "  0  the window was closed, or the snapshot was written\n"
           "  2  a bad command line\n"
           "  3  the plug-in cannot be loaded or lacks one of GetSourcesNum, GetSourceDesc\n"
           "     and GetSourceData\n"
           "  4  the snapshot file cannot be written\n"
           "  8  there is no graphical session to open a window in\n";
}
