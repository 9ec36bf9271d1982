// Where the server's start at logon is registered: a value of this user's Run
// key, which Windows reads at each logon of the user and starts in that
// user's session; and the mark Task Manager's Startup tab keeps beside it
// when the user disables the start there.
#pragma once

#include <string>

// The key and the value, as messages name them.
extern const char kRunKeyShown[];
extern const char kRunValueShown[];

enum class Registration { Absent, Present, Unreadable };

// The registered command line (environment references expanded, as the
// logon expands them); a sentence in error when it cannot be read.
Registration ReadRegisteredCommand(std::wstring &command, std::string &error);
// Writes the value, replacing one there; false with a sentence.
bool WriteRegisteredCommand(const std::wstring &command, std::string &error);
// Deletes the value; true when none is left (also when there was none).
bool DeleteRegisteredCommand(std::string &error);

// Task Manager's Startup tab has the start disabled.
bool StartupDisabled();
// Drops that mark, so a new registration starts at logon again.
void ClearStartupMark();
