// What a tool tells people, one line a sentence: the program's name first
// ("kdhost: "), then the UTF-8 sentence escaped as a whole by one rule
// (TerminalText), so nothing quoted from a file, the command line, the plug-in
// or the system reaches a terminal as a command. Pieces are put in as UTF-8
// (paths through ShownPath; ANSI text through AnsiToUtf8), never escaped on
// their own.
#pragma once

#include <string>

#include "tool_name.h"

// Which tool speaks; main() says so first.
void SetMessageTool(Tool tool);

// The line as written: "kdmonitor: sentence\n", escaped.
std::string MessageLine(const std::string &sentence);

// On standard output: what the tool did.
void Say(const std::string &sentence);

// On standard error: a warning, or why the tool stops.
void Warn(const std::string &sentence);

// Warn, then the exit code for main() to return.
int Fail(int code, const std::string &sentence);
