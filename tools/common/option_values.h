// Reading option values from a tool's command line; shared by kdhost and kdmonitor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A finite decimal number within [low, high], the whole text and nothing else.
bool ParseNumber(const std::string &text, double low, double high, double &out);

// A whole number within [low, high].
bool ParseInteger(const std::string &text, int64_t low, int64_t high, int64_t &out);

// The value after the option at args[i], advancing i; false with a sentence in
// error when the command line ends first.
bool TakeValue(const std::vector<std::string> &args, size_t &i, std::string &out,
               std::string &error);

// The number after the option at args[i], within [low, high], advancing i;
// false with a sentence in error: TakeValue's when the command line ends
// first, else usage ("--duration takes seconds, e.g. 10").
bool TakeNumber(const std::vector<std::string> &args, size_t &i, double low, double high,
                const std::string &usage, double &out, std::string &error);

// The value of --interval: whole milliseconds from 10 to 3600000.
bool TakeInterval(const std::vector<std::string> &args, size_t &i, unsigned &milliseconds,
                  std::string &error);
