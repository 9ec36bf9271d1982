// Writing UTF-8 text to standard output or error: wide text on a console, the
// bytes themselves on a pipe or a file. Also the plug-in's ANSI text to UTF-8.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TextStream {
    HANDLE handle = nullptr;
    bool console = false;
};

TextStream StandardOutput();
TextStream StandardError();

void WriteText(const TextStream &stream, const std::string &utf8);

// Text in a code page (CP_UTF8, CP_ACP) as UTF-16; bytes the code page does
// not define become U+FFFD.
std::wstring Widen(const std::string &text, UINT codePage);

// Text in the Windows ANSI code page, at most maxBytes long or up to its NUL.
std::string AnsiToUtf8(const char *ansi, size_t maxBytes);
std::string AnsiToUtf8(const std::string &ansi);

// A path from the command line (ANSI) as a message quotes it: UTF-8, with
// control characters escaped and an absurd length cut (TerminalText).
std::string ShownPath(const std::string &ansiPath);

// UTF-8 as the UTF-16 the platform's wide functions take (drawing, titles).
std::wstring Utf8ToWide(const std::string &utf8);
// And back: what the wide functions give (paths, registry values) as UTF-8.
std::string WideToUtf8(const std::wstring &wide);

// Characters as a terminal shows them: one per code point.
size_t DisplayWidth(const std::string &utf8);

// Splits text at spaces into lines of at most width characters where it can.
std::vector<std::string> WrapWords(const std::string &utf8, size_t width);
