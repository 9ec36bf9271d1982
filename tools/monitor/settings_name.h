// A sensor's name as the plug-in's settings reader reads it back from the
// profile file. The code page conversions are the caller's, so these rules
// need no platform header.
#pragma once

#include <string>

// The conversions a name goes through: UTF-8 to UTF-16 (U+FFFD for bytes that
// are no UTF-8) and UTF-16 to the ANSI code page ('?' for what it lacks).
struct NameCodePage {
    std::wstring (*fromUtf8)(const std::string &utf8);
    std::string (*toAnsi)(const std::wstring &utf16);
};

// A UTF-8 name as the plug-in can read it back from the file: in the ANSI code
// page, with control characters (a line end would start another key) as
// spaces, without the spaces around it the profile reader drops, cut to 31
// characters, and quoted once more when it starts and ends with the same
// quote (' or "), which the reader would strip; such a name is cut to 30, as
// the reader then keeps one character less. A suffix (ANSI, such as " (2)")
// is kept whole at the end, the name cut to make room for it.
std::string SettingsNameIn(const std::string &utf8, const NameCodePage &codePage,
                           const std::string &suffix = "");
