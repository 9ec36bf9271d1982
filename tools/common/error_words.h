// Windows error codes in plain words, for every tool's messages: what went
// wrong with a file, a folder or a named object, the number only as a fallback.
#pragma once

#include <windows.h>

#include <string>

// A clause for the code ("access is denied"); "an unexpected system error
// (code N)" for a code without words of its own here.
std::string ErrorWords(DWORD code);

// What went wrong when opening path, as a clause: "it is a folder" whenever
// path names an existing folder (Windows answers access denied for one),
// otherwise ErrorWords(code).
std::string FileErrorWords(const std::string &path, DWORD code);
