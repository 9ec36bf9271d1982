// The command-line walk and the option values. The input is the arguments,
// one a line. The first byte picks the check (its remainder by 3):
// - a tool's walk over them: every argument is taken exactly once, as an
//   option or as a value, in order; "--name=value" splits at the first '='
//   and nothing is lost; a value taken twice for one name is refused;
// - a table's walk over them: the same, through the rows a tool declares;
// - the number readers on each argument: a text is a number exactly when it
//   is the one grammar ([-]digits[.digits], nothing else); an accepted one is
//   within the bounds asked for and is the number the C library reads from
//   the same text; one of the grammar outside them is out of range.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "number_reader.h"
#include "option_table.h"
#include "option_values.h"

namespace {

std::vector<std::string> Lines(const uint8_t *data, size_t size) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += char(data[i]);
        }
    }
    return lines;
}

// The options a tool might have, by what their handler does.
enum class Kind { Flag, Value, OptionalValue, Number, Interval, Duration };

Kind KindOf(const std::string &name) {
    size_t hash = std::hash<std::string>()(name);
    return Kind(hash % 6);
}

void Walk(const std::vector<std::string> &args) {
    CommandLine line(args);
    size_t taken = 0; // arguments taken as values, apart from the options
    size_t options = 0;
    std::vector<std::string> named;
    while (true) {
        const size_t before = line.next;
        if (!NextOption(line)) {
            Require(before == args.size(), "the walk ends only after the last argument");
            break;
        }
        ++options;
        const std::string &arg = args[before];
        Require(line.next == before + 1, "an option is one argument");
        Require(line.name + (line.attached ? "=" + *line.attached : "") == arg,
                "name and attached value make up the argument");
        Require(!line.attached ||
                    (arg.rfind("--", 0) == 0 && line.name.find('=') == std::string::npos),
                "only a long option carries a value after its first '='");
        std::string value, error;
        const size_t at = line.next;
        const bool repeated = std::find(named.begin(), named.end(), line.name) != named.end();
        switch (KindOf(line.name)) {
        case Kind::Flag:
            Require(NoValueLeft(line, error) == !line.attached, "a flag refuses a value");
            Require(error.empty() == !line.attached, "a refused flag says why");
            break;
        case Kind::Value:
            if (TakeValue(line, value, error)) {
                Require(!repeated, "a value given twice is refused");
                Require(line.attached ? value == *line.attached && line.next == at
                                      : value == args[at] && line.next == at + 1,
                        "the value is the attached one or the next argument");
            } else {
                Require(!error.empty(), "a missing value says why");
                Require(repeated || (!line.attached && at == args.size()),
                        "a value is missing only after the last argument");
            }
            break;
        case Kind::OptionalValue:
            if (TakeOptionalValue(line, value)) {
                Require(line.attached ? value == *line.attached
                                      : value == args[at] && value.rfind("--", 0) != 0,
                        "an optional value is no option");
            }
            Require(NoValueLeft(line, error), "an optional value may be attached");
            break;
        case Kind::Number: {
            double number = 0;
            if (TakeValue(line, value, error) &&
                ReadDecimal(value, -1e3, 1e3, number) == NumberRead::Taken) {
                Require(std::isfinite(number) && number >= -1e3 && number <= 1e3,
                        "a number within its bounds");
            }
            break;
        }
        case Kind::Interval: {
            unsigned ms = 0;
            if (TakeValue(line, value, error)) {
                if (ParseInterval(value, ms, error)) {
                    Require(ms >= 10 && ms <= 3600000, "an interval within its bounds");
                } else {
                    Require(!error.empty(), "a refused interval says why");
                }
            }
            break;
        }
        case Kind::Duration: {
            double seconds = -1;
            if (TakeValue(line, value, error)) {
                if (ParseDuration(value, seconds, error)) {
                    Require(seconds >= 0 && seconds <= 1e6, "a duration within its bounds");
                }
            }
            break;
        }
        }
        if (KindOf(line.name) != Kind::Flag && KindOf(line.name) != Kind::OptionalValue) {
            named.push_back(line.name); // asked for a value, given or not
        }
        Require(line.next >= at && line.next <= at + 1, "a value is at most one argument");
        taken += line.next - at;
    }
    Require(options + taken == args.size(), "every argument is taken exactly once");
}

// A tool's table walk over the same arguments, each name given a kind: on
// success the options and values taken, in order, make up the arguments
// exactly, and no value option was taken twice; on failure the sentence is
// there and carries no control byte to a terminal.
struct Taken {
    size_t row;
    OptionText value;
};

void WalkTable(const std::vector<std::string> &args) {
    std::vector<std::string> names;
    for (const std::string &arg : args) {
        const std::string name = arg.substr(0, arg.rfind("--", 0) == 0 ? arg.find('=') : arg.npos);
        if (name.rfind("--", 0) == 0 && name.find(' ') == std::string::npos &&
            std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    }
    std::vector<OptionForm> forms;
    for (const std::string &name : names) {
        forms.push_back({name.c_str(), "", OptionValue(std::hash<std::string>()(name) % 3), ""});
    }
    std::vector<Taken> taken;
    std::string error;
    const bool ok = WalkForms(
        args, forms,
        [&](size_t row, const OptionText &value, std::string &) {
            taken.push_back({row, value});
            return true;
        },
        error);
    if (!ok) {
        Require(!error.empty(), "a refused command line says why");
        for (unsigned char c : error) {
            Require(c >= 0x20 && c != 0x7F, "the sentence is escaped text");
        }
        return;
    }
    size_t at = 0;
    std::vector<size_t> valued;
    for (const Taken &t : taken) {
        Require(at < args.size(), "no option past the arguments");
        const std::string name = forms[t.row].names; // as the table spells it
        const std::string &arg = args[at++];
        const bool attached = arg.size() > name.size() && arg[name.size()] == '=';
        Require(arg.compare(0, name.size(), name) == 0 && (arg.size() == name.size() || attached),
                "an option is taken by its own name");
        if (attached) {
            Require(t.value && *t.value == arg.substr(name.size() + 1), "the attached value");
        } else if (t.value) {
            Require(at < args.size() && args[at] == *t.value, "the value is the next argument");
            ++at;
        }
        if (forms[t.row].value == OptionValue::Required) {
            Require(t.value.has_value(), "a required value is there");
            Require(std::find(valued.begin(), valued.end(), t.row) == valued.end(),
                    "a value option is taken once");
            valued.push_back(t.row);
        }
        if (forms[t.row].value == OptionValue::None) {
            Require(!t.value, "a flag has no value");
        }
    }
    Require(at == args.size(), "every argument is taken exactly once");
}

// Whether the text is the grammar: an optional '-' where signs are taken,
// digits, and where decimals are taken one '.' followed by digits.
bool OfTheGrammar(const std::string &text, bool sign, bool decimal) {
    size_t at = sign && !text.empty() && text[0] == '-' ? 1 : 0;
    const size_t start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        ++at;
    }
    if (at == start) {
        return false;
    }
    if (decimal && at < text.size() && text[at] == '.') {
        const size_t point = ++at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            ++at;
        }
        if (at == point) {
            return false;
        }
    }
    return at == text.size();
}

// The bounds a test asks with, from the argument itself.
void Numbers(const std::string &text, size_t salt) {
    static const double kBounds[][2] = {{0, 1e6},
                                        {10, 3600000},
                                        {-1e300, 1e300},
                                        {0, 65535},
                                        {-2147483648.0, 2147483647.0},
                                        {0, 4294967295.0},
                                        {-HUGE_VAL, HUGE_VAL}};
    const auto &bounds = kBounds[salt % (sizeof kBounds / sizeof kBounds[0])];
    double number = 0;
    const NumberRead decimal = ReadDecimal(text, bounds[0], bounds[1], number);
    Require((decimal != NumberRead::NoNumber) == OfTheGrammar(text, true, true),
            "a decimal is exactly the grammar's");
    if (decimal == NumberRead::Taken) {
        char *end = nullptr;
        Require(std::strtod(text.c_str(), &end) == number && *end == '\0',
                "an accepted decimal is the number the C library reads");
        Require(std::isfinite(number) && number >= bounds[0] && number <= bounds[1],
                "an accepted decimal is finite and within its bounds");
    }
    static const int64_t kWhole[][2] = {
        {0, 65535}, {-2147483648LL, 2147483647LL}, {0, 4294967295LL}, {INT64_MIN, INT64_MAX}};
    const auto &whole = kWhole[salt % (sizeof kWhole / sizeof kWhole[0])];
    int64_t integer = 0;
    const NumberRead read = ReadWhole(text, whole[0], whole[1], integer);
    Require((read != NumberRead::NoNumber) == OfTheGrammar(text, true, false),
            "a whole number is exactly the grammar's");
    if (read != NumberRead::NoNumber) {
        errno = 0;
        const long long typed = std::strtoll(text.c_str(), nullptr, 10);
        const bool fits = errno == 0 && typed >= whole[0] && typed <= whole[1];
        Require((read == NumberRead::Taken) == fits, "out of range exactly past the bounds");
        Require(read != NumberRead::Taken || typed == integer, "a whole number is the one typed");
    }
    uint64_t digits = 0;
    const NumberRead unsignedRead = ReadDigits(text, uint64_t(whole[1]), digits);
    Require((unsignedRead != NumberRead::NoNumber) == OfTheGrammar(text, false, false),
            "digits are digits alone");
    int64_t scaled = 0;
    const NumberRead scaledRead = ReadScaled(text, 2, whole[0], whole[1], scaled);
    const size_t point = text.find('.');
    Require((scaledRead != NumberRead::NoNumber) ==
                (OfTheGrammar(text, true, true) &&
                 (point == std::string::npos || text.size() - point - 1 <= 2)),
            "hundredths are the grammar's with at most two decimals");
    if (scaledRead == NumberRead::Taken && std::fabs(double(scaled)) < 1e15) {
        Require(std::fabs(std::strtod(text.c_str(), nullptr) * 100 - double(scaled)) < 0.5,
                "hundredths are the number read, times 100");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::vector<std::string> args = Lines(data + 1, size - 1);
    if (data[0] % 3 == 1) {
        Walk(args);
    } else if (data[0] % 3 == 2) {
        WalkTable(args);
    } else {
        for (size_t i = 0; i < args.size(); ++i) {
            Numbers(args[i], data[0] / 2 + i);
        }
    }
    return 0;
}
