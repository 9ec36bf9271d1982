// File paths for the wide-character file calls, which reach past the 260
// characters where the ANSI ones stop; and the "\\?\" prefix that lifts that
// limit, its one rule written here.
#pragma once

#include <string>

// An ANSI path (as the command line gives it) as UTF-16; a full path of 260
// characters or more gets the "\\?\" prefix that lifts the length limit.
std::wstring WidePath(const std::string &ansiPath);

// Whether the path carries the prefix: the system then takes it literally,
// with no "." or ".." parts and no added extension.
bool HasLongPathPrefix(const std::wstring &path);

// The path without its "\\?\" (or "\\?\UNC\") prefix, as people write it.
std::wstring WithoutLongPathPrefix(const std::wstring &path);

// The full form of a path (the current folder's and drive's parts filled in,
// "." and ".." resolved), of any length; the path itself when that fails.
std::wstring FullWidePath(const std::wstring &path);

// A UTF-16 path without its prefix, in the ANSI code page; "" when a
// character has no ANSI form.
std::string PlainAnsiPath(const std::wstring &wide);

// An ANSI path made full; the path itself when that fails or cannot be shown.
std::string FullPath(const std::string &path);
