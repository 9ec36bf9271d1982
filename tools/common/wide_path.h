// File paths for the wide-character file calls, which reach past the 260
// characters where the ANSI ones stop.
#pragma once

#include <string>

// An ANSI path (as the command line gives it) as UTF-16; a full path of 260
// characters or more gets the "\\?\" prefix that lifts the length limit.
std::wstring WidePath(const std::string &ansiPath);

// A UTF-16 path in the ANSI code page; false when a character has no ANSI form.
bool AnsiPath(const std::wstring &widePath, std::string &ansiPath);

// The full form of a path (the current folder's and drive's parts filled in,
// "." and ".." resolved), of any length; the path itself when that fails.
std::wstring FullWidePath(const std::wstring &path);

// A UTF-16 path without its "\\?\" prefix, in the ANSI code page; "" when a
// character has no ANSI form.
std::string PlainAnsiPath(std::wstring wide);

// An ANSI path made full; the path itself when that fails or cannot be shown.
std::string FullPath(const std::string &path);
