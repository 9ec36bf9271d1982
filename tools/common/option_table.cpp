// The walk over a command line by a table of options, and the help lines the
// same table gives.
#include "option_table.h"

#include <cstring>
#include <set>

#include "number_reader.h"
#include "option_values.h"
#include "terminal_text.h"

namespace {

// The row naming this option ("-h" finds "--help -h /?"), or npos.
size_t FindRow(const std::vector<OptionForm> &forms, const std::string &name) {
    for (size_t row = 0; row < forms.size(); ++row) {
        const std::string names = std::string(" ") + forms[row].names + " ";
        if (!name.empty() && names.find(" " + name + " ") != std::string::npos) {
            return row;
        }
    }
    return std::string::npos;
}

// The value the row's kind asks for, taken from the line; false with a sentence.
bool TakeRowValue(CommandLine &line, OptionValue kind, OptionText &value, std::string &error) {
    std::string text;
    if (kind == OptionValue::Required) {
        if (!TakeValue(line, text, error)) {
            return false;
        }
        value = text;
    } else if (kind == OptionValue::Optional && TakeOptionalValue(line, text)) {
        value = text;
    }
    return NoValueLeft(line, error);
}

} // namespace

bool WalkForms(const std::vector<std::string> &args, const std::vector<OptionForm> &forms,
               const TakeRow &take, std::string &error) {
    for (CommandLine line{args}; NextOption(line);) {
        const size_t row = FindRow(forms, line.name);
        if (row == std::string::npos) {
            error = "unknown option '" + TerminalText(line.name) + "' (see --help)";
            return false;
        }
        OptionText value;
        if (!TakeRowValue(line, forms[row].value, value, error) || !take(row, value, error)) {
            return false;
        }
    }
    return true;
}

std::string FormsHelp(const std::vector<OptionForm> &forms) {
    constexpr size_t kColumn = 19; // where every help line starts
    std::string text;
    for (const OptionForm &form : forms) {
        const char *space = std::strchr(form.names, ' ');
        std::string label = "  " + (space ? std::string(form.names, space) : form.names);
        label += *form.placeholder ? std::string(" ") + form.placeholder : "";
        // A label that leaves no two spaces before the column has its help below.
        text += label + (label.size() + 2 > kColumn ? "\n" + std::string(kColumn, ' ')
                                                    : std::string(kColumn - label.size(), ' '));
        for (const char *line = form.help; *line;) {
            const char *end = std::strchr(line, '\n');
            const size_t length = end ? size_t(end - line) : std::strlen(line);
            text.append(line, length).append("\n");
            line += length + (end ? 1 : 0);
            text += *line ? std::string(kColumn, ' ') : "";
        }
    }
    return text;
}

std::string UsageHead(const char *program, const char *noOption) {
    const std::string head = "Usage: " + std::string(program) + " [options]\n";
    return noOption == nullptr
               ? head
               : head + FormsHelp({{"(no option)", "", OptionValue::None, noOption}});
}

std::string ValueRuleHelp(const char *option, const char *value) {
    const std::string name = option;
    return "An option's value may follow it or be joined to it: " + name + " " + value + " or\n" +
           name + "=" + value + ". Each option with a value may be given once. A number is\n" +
           "digits, with a '-' before them and one '.' between them where the option\n" +
           "takes those: no spaces, no '+', no exponent and no hex.\n";
}

namespace {

// A take's answer: the refusal in error when the value was not taken.
bool Refused(bool taken, const char *refusal, std::string &error) {
    if (!taken) {
        error = refusal;
    }
    return taken;
}

} // namespace

bool TakeFileName(const OptionText &value, const char *refusal, std::string &path,
                  std::string &error) {
    if (!Refused(value && !value->empty(), refusal, error)) {
        return false;
    }
    path = *value;
    return true;
}

bool TakeDecimal(const OptionText &value, double low, double high, const char *refusal,
                 double &number, std::string &error) {
    return Refused(value && ReadDecimal(*value, low, high, number) == NumberRead::Taken, refusal,
                   error);
}

bool TakeWholeNumber(const OptionText &value, int64_t low, int64_t high, const char *refusal,
                     int64_t &number, std::string &error) {
    return Refused(value && ReadWhole(*value, low, high, number) == NumberRead::Taken, refusal,
                   error);
}
