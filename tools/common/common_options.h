// The options every tool has, each written once: the record that holds them
// and the option-table rows that take them (--plugin for the two hosts,
// --interval, --duration, --version, --help); and the shapes of row a tool's
// own options take (a flag, a file name, a decimal). A tool's options record
// derives from ToolOptions, and its table lists these rows with its own help.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "option_table.h"
#include "option_values.h"

struct ToolOptions {
    unsigned intervalMs = 1000;
    bool intervalGiven = false;
    double durationSeconds = 0; // 0: until stopped
    bool durationGiven = false;
    bool help = false;
    bool version = false;
};

// A flag that sets field.
template <typename Target>
Option<Target> FlagRow(bool Target::*field, const char *names, const char *help) {
    return {names, "", OptionValue::None, help,
            [field](Target &target, const OptionText &, std::string &) {
                return target.*field = true;
            }};
}

// A file name, refused with refusal when empty.
template <typename Target>
Option<Target> FileRow(std::string Target::*field, const char *names, const char *placeholder,
                       const char *help, const char *refusal) {
    return {names, placeholder, OptionValue::Required, help,
            [field, refusal](Target &target, const OptionText &value, std::string &error) {
                return TakeFileName(value, refusal, target.*field, error);
            }};
}

// A decimal number within [low, high], refused with refusal otherwise; given
// (when not null) notes that the option was given.
template <typename Target>
Option<Target> DecimalRow(double Target::*field, const char *names, const char *placeholder,
                          const char *help, double low, double high, const char *refusal,
                          bool Target::*given = nullptr) {
    return {names, placeholder, OptionValue::Required, help,
            [=](Target &target, const OptionText &value, std::string &error) {
                if (given != nullptr) {
                    target.*given = true;
                }
                return TakeDecimal(value, low, high, refusal, target.*field, error);
            }};
}

// "--plugin PATH", into target.pluginPath; help names the default.
template <typename Target> Option<Target> PluginRow(const char *help) {
    return FileRow<Target>(&Target::pluginPath, "--plugin", "PATH", help,
                           "--plugin needs a file name, not an empty one");
}

// A value of ToolOptions read by parse, noting that it was given.
template <typename Target, typename Value>
Option<Target> ToolValueRow(Value ToolOptions::*field, bool ToolOptions::*given,
                            bool (*parse)(const std::string &, Value &, std::string &),
                            const char *names, const char *placeholder, const char *help) {
    return {names, placeholder, OptionValue::Required, help,
            [=](Target &target, const OptionText &value, std::string &error) {
                ToolOptions &options = target;
                options.*given = true;
                return parse(*value, options.*field, error);
            }};
}

template <typename Target> Option<Target> IntervalRow(const char *help) {
    return ToolValueRow<Target, unsigned>(&ToolOptions::intervalMs, &ToolOptions::intervalGiven,
                                          ParseInterval, "--interval", "MS", help);
}

template <typename Target> Option<Target> DurationRow(const char *help) {
    return ToolValueRow<Target, double>(&ToolOptions::durationSeconds, &ToolOptions::durationGiven,
                                        ParseDuration, "--duration", "S", help);
}

template <typename Target> Option<Target> VersionRow(const char *help) {
    return FlagRow<Target>(&Target::version, "--version", help);
}

template <typename Target> Option<Target> HelpRow() {
    return FlagRow<Target>(&Target::help, "--help -h /?", "show this text");
}

// The walk over a tool's table into its parse record, then, unless only
// --help or --version was asked for, the tool's rule for what cannot go
// together ("" when all can). The options, or nullopt with a sentence in error.
template <typename Options, typename Parse, typename Conflict>
std::optional<Options> ParseToolOptions(const std::vector<std::string> &args,
                                        const std::vector<Option<Parse>> &table,
                                        const Conflict &conflict, std::string &error) {
    Parse parse;
    if (!WalkOptions(args, table, parse, error)) {
        return std::nullopt;
    }
    const Options &options = parse;
    if (options.help || options.version) {
        return options;
    }
    error = conflict(parse);
    if (!error.empty()) {
        return std::nullopt;
    }
    return options;
}
