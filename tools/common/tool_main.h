// What every tool's main() is: say which tool speaks, read the (wide) command line,
// answer --help and --version, then run with the options; so the three tools
// start, refuse a command line and print their version alike.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "command_line_args.h"
#include "exit_codes.h"
#include "option_values.h"
#include "text_output.h"
#include "tool_messages.h"

template <typename Options>
using ParseOptions = std::optional<Options> (*)(const std::vector<std::string> &args,
                                                std::string &error);

// The exit code: kExitUsage for a bad command line, kExitOk for --help and
// --version, otherwise run's.
template <typename Options>
int RunTool(Tool tool, ParseOptions<Options> parse, std::string (*usage)(),
            int (*run)(const Options &options)) {
    SetMessageTool(tool);
    std::string error;
    const std::optional<Options> options = parse(CommandLineArguments(), error);
    if (!options) {
        return Fail(kExitUsage, error);
    }
    if (options->help || options->version) {
        WriteText(StandardOutput(), options->help ? usage() : VersionLine(ToolName(tool)));
        return kExitOk;
    }
    return run(*options);
}
