// A tool's options as one table: each row names an option, says whether it
// takes a value, carries its help lines and takes its value into the tool's
// record. The walk over the command line, the "given twice" rule and the
// --help lines all come from the table, so a tool lists each option once.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class OptionValue {
    None,     // a flag: "--watch"; "--watch=x" is refused
    Required, // "--plugin PATH" or "--plugin=PATH"; given at most once
    Optional, // "--hwmon [DIR]": the next argument unless it is an option
};

// What a row's take function is handed: the value, when the option has one.
using OptionText = std::optional<std::string>;

// One option of a tool whose command line fills a Target.
template <typename Target> struct Option {
    const char *names;       // "--help -h /?": the first is the one --help shows
    const char *placeholder; // "PATH", "[FILE]"; "" for a flag
    OptionValue value;
    const char *help; // the help lines, "\n" between them
    // Takes the option into target; false with a sentence in error.
    std::function<bool(Target &target, const OptionText &value, std::string &error)> take;
};

// The part of a row the walk and the help need, whatever the target.
struct OptionForm {
    const char *names;
    const char *placeholder;
    OptionValue value;
    const char *help;
};

// Walks the arguments over the forms, calling take(row, value, error) for each
// option found; false with a sentence in error for an unknown option, a
// missing, doubled or unwanted value, or a value take refuses.
using TakeRow = std::function<bool(size_t row, const OptionText &value, std::string &error)>;
bool WalkForms(const std::vector<std::string> &args, const std::vector<OptionForm> &forms,
               const TakeRow &take, std::string &error);

// The help lines of the forms: "  --plugin PATH    the plug-in to load", the
// help's further lines under its first.
std::string FormsHelp(const std::vector<OptionForm> &forms);

template <typename Target>
std::vector<OptionForm> FormsOf(const std::vector<Option<Target>> &table) {
    std::vector<OptionForm> forms;
    for (const Option<Target> &row : table) {
        forms.push_back({row.names, row.placeholder, row.value, row.help});
    }
    return forms;
}

template <typename Target>
bool WalkOptions(const std::vector<std::string> &args, const std::vector<Option<Target>> &table,
                 Target &target, std::string &error) {
    auto take = [&](size_t row, const OptionText &value, std::string &why) {
        return table[row].take(target, value, why);
    };
    return WalkForms(args, FormsOf(table), take, error);
}

template <typename Target> std::string OptionsHelp(const std::vector<Option<Target>> &table) {
    return FormsHelp(FormsOf(table));
}

// "Usage: kdhost [options]", then what the tool does with no option given
// (when noOption is not null), in the option lines' layout.
std::string UsageHead(const char *program, const char *noOption);

// The rule of values every tool's --help states, with one of its options as
// the example: "--plugin PATH or --plugin=PATH", each value given once, and
// the one number grammar (number_reader.h) in words.
std::string ValueRuleHelp(const char *option, const char *value);

// Takes for the rows several tools share; each refuses with the tool's words.
bool TakeFileName(const OptionText &value, const char *refusal, std::string &path,
                  std::string &error);
bool TakeWholeNumber(const OptionText &value, int64_t low, int64_t high, const char *refusal,
                     int64_t &number, std::string &error);
bool TakeDecimal(const OptionText &value, double low, double high, const char *refusal,
                 double &number, std::string &error);
