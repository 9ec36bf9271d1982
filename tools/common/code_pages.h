// Text between the code pages the tools meet: the system's ANSI code page
// (command lines, the plug-in's text, settings files), UTF-8 (everything the
// tools write) and UTF-16 (the wide platform calls). The one place the
// platform's conversions are called.
#pragma once

#include <windows.h>

#include <string>

// Text in a code page (CP_UTF8, CP_ACP, 1251) as UTF-16; bytes the code page
// does not define become U+FFFD.
std::wstring Widen(const std::string &text, UINT codePage);

// UTF-16 in a code page, exactly: false when a character has no form there.
bool NarrowExactly(const std::wstring &wide, UINT codePage, std::string &text);

// UTF-16 in a code page, a character it lacks (and U+FFFD) as a plain '?',
// never a best-fit guess.
std::string Narrow(const std::wstring &wide, UINT codePage);

// Text in the ANSI code page, at most maxBytes long or up to its NUL, as UTF-8.
std::string AnsiToUtf8(const char *ansi, size_t maxBytes);
std::string AnsiToUtf8(const std::string &ansi);

// UTF-8 as the UTF-16 the wide functions take (drawing, titles, paths).
std::wstring Utf8ToWide(const std::string &utf8);

// UTF-16 from the system (a path it names) as UTF-8.
std::string WideToUtf8(const std::wstring &wide);
