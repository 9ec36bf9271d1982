// Option values for the command-line tools, and the walk over the arguments.
#include "option_values.h"

#include "number_reader.h"
#include "terminal_text.h"

namespace {

// What an optional value may not be: another option.
bool LooksLikeOption(const std::string &arg) {
    return arg.rfind("--", 0) == 0 || arg == "/?" || arg == "-h";
}

// The attached value, or else the next argument when there is one (and, for
// an optional value, when it is no option itself).
bool AttachedOrNext(CommandLine &line, bool optional, std::string &out) {
    line.valueTaken = true;
    if (line.attached) {
        out = *line.attached;
        return true;
    }
    if (line.next >= line.args.size() || (optional && LooksLikeOption(line.args[line.next]))) {
        return false;
    }
    out = line.args[line.next++];
    return true;
}

// The value as a refusal quotes it.
std::string Given(const std::string &text) {
    return "'" + TerminalText(text, 40) + "'";
}

} // namespace

bool NextOption(CommandLine &line) {
    if (line.next >= line.args.size()) {
        return false;
    }
    const std::string &arg = line.args[line.next++];
    size_t equals = arg.find('=');
    // Only a long option carries its value after '='; "C:\a=b" stays a word.
    bool joined = arg.rfind("--", 0) == 0 && equals != std::string::npos;
    line.name = joined ? arg.substr(0, equals) : arg;
    line.attached = joined ? std::optional<std::string>(arg.substr(equals + 1)) : std::nullopt;
    line.valueTaken = false;
    return true;
}

bool TakeValue(CommandLine &line, std::string &out, std::string &error) {
    if (!line.valuesGiven.insert(line.name).second) {
        error = TerminalText(line.name) + " is given twice";
        return false;
    }
    if (!AttachedOrNext(line, false, out)) {
        error = TerminalText(line.name) + " needs a value (see --help)";
        return false;
    }
    return true;
}

bool TakeOptionalValue(CommandLine &line, std::string &out) {
    return AttachedOrNext(line, true, out);
}

bool NoValueLeft(const CommandLine &line, std::string &error) {
    if (line.attached && !line.valueTaken) {
        error = TerminalText(line.name) + " takes no value (see --help)";
        return false;
    }
    return true;
}

bool ParseDuration(const std::string &text, double &seconds, std::string &error) {
    if (ReadDecimal(text, 0, 1e6, seconds) != NumberRead::Taken) {
        error = "--duration takes seconds from 0 to 1000000, e.g. 10 (0: until stopped), not " +
                Given(text);
        return false;
    }
    return true;
}

bool ParseInterval(const std::string &text, unsigned &milliseconds, std::string &error) {
    int64_t number = 0;
    if (ReadWhole(text, 10, 3600000, number) != NumberRead::Taken) {
        error = "--interval takes milliseconds from 10 to 3600000, as digits (e.g. 500), not " +
                Given(text);
        return false;
    }
    milliseconds = unsigned(number);
    return true;
}

std::string VersionLine(const char *program) {
    return std::string(program) + " " KD_PROJECT_VERSION "\n";
}
