// Arguments joined into one Windows command line (what CreateProcess and the
// Run key take), quoted so that the started program's C runtime splits it
// back into exactly these arguments. Portable: no platform header.
#pragma once

#include <string>
#include <vector>

// The argument as it goes into a command line: unchanged when it has no
// space, tab or quote and is not empty; otherwise in quotes, with each quote
// escaped and the backslashes before a quote or the closing quote doubled.
std::string QuoteArgument(const std::string &argument);

// The arguments quoted and joined by single spaces.
std::string JoinArguments(const std::vector<std::string> &arguments);
