// File paths for the wide-character file calls, which reach past the 260
// characters where the ANSI ones stop and past the ANSI code page; and the
// "\\?\" prefix that lifts that limit, its one rule written here. The tools
// keep every path in UTF-8; here it becomes the system's UTF-16 or ANSI.
#pragma once

#include <string>

// A path as the tools keep it (UTF-8, from the wide command line) as UTF-16;
// a full path of 260 characters or more gets the "\\?\" prefix that lifts the
// length limit.
std::wstring WidePath(const std::string &path);

// Whether the path carries the prefix: the system then takes it literally,
// with no "." or ".." parts and no added extension.
bool HasLongPathPrefix(const std::wstring &path);

// The path without its "\\?\" (or "\\?\UNC\") prefix, as people write it.
std::wstring WithoutLongPathPrefix(const std::wstring &path);

// The full form of a path (the current folder's and drive's parts filled in,
// "." and ".." resolved), of any length; the path itself when that fails.
std::wstring FullWidePath(const std::wstring &path);

// A UTF-16 path without its prefix, in UTF-8 as the tools keep paths.
std::string PlainPath(const std::wstring &wide);

// A UTF-16 path without its prefix, in the ANSI code page, for the calls that
// take only that (the plug-in's profile reader); "" when a character has no
// ANSI form.
std::string PlainAnsiPath(const std::wstring &wide);

// A path made full; the path itself when that fails.
std::string FullPath(const std::string &path);

// A path (UTF-8) in the ANSI code page, as the plug-in's own calls take it;
// false when a character of it has no ANSI form.
bool AnsiFormOfPath(const std::string &path, std::string &ansi);
