// Writing UTF-8 text to standard output or error: wide text on a console, the
// bytes themselves on a pipe or a file; and laying text out for a terminal.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "code_pages.h"

struct TextStream {
    HANDLE handle = nullptr;
    bool console = false;
};

TextStream StandardOutput();
TextStream StandardError();

void WriteText(const TextStream &stream, const std::string &utf8);

// A path (UTF-8, as the tools keep paths) as a message quotes it: control
// characters escaped and an absurd length cut in its middle (PathText).
std::string ShownPath(const std::string &path);

// Characters as a terminal shows them: one per code point.
size_t DisplayWidth(const std::string &utf8);

// Splits text at spaces into lines of at most width characters where it can.
std::vector<std::string> WrapWords(const std::string &utf8, size_t width);
