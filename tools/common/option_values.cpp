// Option values for the command-line tools.
#include "option_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

bool ParseNumber(const std::string &text, double low, double high, double &out) {
    if (text.empty()) {
        return false;
    }
    char *end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(out) && out >= low && out <= high;
}

bool ParseInteger(const std::string &text, int64_t low, int64_t high, int64_t &out) {
    double value = 0;
    if (!ParseNumber(text, double(low), double(high), value) || value != std::floor(value)) {
        return false;
    }
    out = int64_t(value);
    return true;
}

bool TakeValue(const std::vector<std::string> &args, size_t &i, std::string &out,
               std::string &error) {
    if (i + 1 >= args.size()) {
        error = args[i] + " needs a value (see --help)";
        return false;
    }
    out = args[++i];
    return true;
}

bool TakeNumber(const std::vector<std::string> &args, size_t &i, double low, double high,
                const std::string &usage, double &out, std::string &error) {
    std::string text;
    if (!TakeValue(args, i, text, error)) {
        return false;
    }
    if (!ParseNumber(text, low, high, out)) {
        error = usage;
        return false;
    }
    return true;
}

bool TakeInterval(const std::vector<std::string> &args, size_t &i, unsigned &milliseconds,
                  std::string &error) {
    const char usage[] = "--interval takes milliseconds from 10 to 3600000";
    double number = 0;
    if (!TakeNumber(args, i, 10, 3600000, usage, number, error)) {
        return false;
    }
    if (number != std::floor(number)) {
        error = usage;
        return false;
    }
    milliseconds = unsigned(number);
    return true;
}
