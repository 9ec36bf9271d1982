// The tools' command-line arguments as Windows gives them, in UTF-16, made
// UTF-8: the one encoding every tool keeps paths and text in, so a path
// outside the ANSI code page reaches the file calls whole.
#pragma once

#include <string>
#include <vector>

// The arguments of a command line after the program's own name.
std::vector<std::string> ArgumentsOf(const std::wstring &commandLine);

// This program's own arguments.
std::vector<std::string> CommandLineArguments();
