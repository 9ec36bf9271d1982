// Reading a tool's command line option by option, and the values options take;
// shared by kdhost, kdmonitor and kdview so every tool spells its options alike.
// Numbers are read by the one grammar of number_reader.h.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A walk over the arguments. Each option is "--name value" or "--name=value";
// `name` is the option as typed up to any '=', `attached` what followed it.
struct CommandLine {
    explicit CommandLine(const std::vector<std::string> &arguments) : args(arguments) {}
    const std::vector<std::string> &args;
    size_t next = 0;
    std::string name;
    std::optional<std::string> attached;
    bool valueTaken = false;
    std::set<std::string> valuesGiven; // options whose value was taken already
};

// Moves to the next argument; false when there is none left.
bool NextOption(CommandLine &line);

// The current option's value: the attached one, or the next argument. False
// with a sentence in error when there is none, or when the option already had
// one ("--temps is given twice").
bool TakeValue(CommandLine &line, std::string &out, std::string &error);

// An optional value: the attached one, or the next argument unless it is an
// option itself ("--hwmon DIR" or "--hwmon --list"). False when there is none.
bool TakeOptionalValue(CommandLine &line, std::string &out);

// After an option is handled: false with a sentence in error when it was a
// flag given a value ("--watch=x").
bool NoValueLeft(const CommandLine &line, std::string &error);

// --duration for every tool: seconds from 0 to 1000000, 0 meaning until stopped.
bool ParseDuration(const std::string &text, double &seconds, std::string &error);

// The value of --interval: whole milliseconds from 10 to 3600000.
bool ParseInterval(const std::string &text, unsigned &milliseconds, std::string &error);

// "kdhost 1.0.0.1": the program's name and the project's version.
std::string VersionLine(const char *program);
