// Option values for the command-line tools, and the walk over the arguments.
#include "option_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "terminal_text.h"

bool ParseNumber(const std::string &text, double low, double high, double &out) {
    if (text.empty()) {
        return false;
    }
    char *end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    // The end of the text, not its first NUL: "12\0x" is no number.
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(out) && out >= low &&
           out <= high;
}

bool ParseInteger(const std::string &text, int64_t low, int64_t high, int64_t &out) {
    double value = 0;
    // From 2^53 on a double no longer holds every whole number ("2^53 + 1"
    // reads as 2^53), and 2^63 would not even convert.
    if (!ParseNumber(text, double(low), double(high), value) || value != std::floor(value) ||
        std::fabs(value) >= 9007199254740992.0) {
        return false;
    }
    out = int64_t(value);
    return true;
}

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
    line.valueTaken = true;
    if (line.attached) {
        out = *line.attached;
        return true;
    }
    if (line.next >= line.args.size()) {
        error = TerminalText(line.name) + " needs a value (see --help)";
        return false;
    }
    out = line.args[line.next++];
    return true;
}

bool TakeOptionalValue(CommandLine &line, std::string &out) {
    line.valueTaken = true;
    if (line.attached) {
        out = *line.attached;
        return true;
    }
    if (line.next >= line.args.size()) {
        return false;
    }
    const std::string &next = line.args[line.next];
    if (next.rfind("--", 0) == 0 || next == "/?" || next == "-h") {
        return false;
    }
    out = next;
    ++line.next;
    return true;
}

bool NoValueLeft(const CommandLine &line, std::string &error) {
    if (line.attached && !line.valueTaken) {
        error = TerminalText(line.name) + " takes no value (see --help)";
        return false;
    }
    return true;
}

bool ParseDuration(const std::string &text, double &seconds, std::string &error) {
    if (!ParseNumber(text, 0, 1e6, seconds)) {
        error = "--duration takes seconds from 0 to 1000000, e.g. 10 (0: until stopped)";
        return false;
    }
    return true;
}

std::string VersionLine(const char *program) {
    return std::string(program) + " " KD_PROJECT_VERSION "\n";
}

bool ParseInterval(const std::string &text, unsigned &milliseconds, std::string &error) {
    double number = 0;
    if (!ParseNumber(text, 10, 3600000, number) || number != std::floor(number)) {
        error = "--interval takes milliseconds from 10 to 3600000";
        return false;
    }
    milliseconds = unsigned(number);
    return true;
}
