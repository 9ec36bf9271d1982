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
