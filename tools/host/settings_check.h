// kdhost --check-settings: the settings file read as the plug-in reads it, with
// every line it reads differently from what its author meant.
#pragma once

#include <string>

#include "text_output.h"

// file: the settings file, or empty for the one beside pluginPath. Writes the
// report to out; returns kExitOk when there is nothing to fix, kExitNo when
// there is, kExitFileFailed (with a sentence in error) when the file cannot be read.
int CheckSettings(const std::string &file, const std::string &pluginPath, const TextStream &out,
                  std::string &error);

// "" when the plug-in at pluginPath can find its settings file; otherwise a
// sentence that it cannot (its folder is outside the ANSI code page, and the
// plug-in looks for the file through an ANSI path) and so shows the defaults,
// as lines of at most 78 characters.
std::string UnreachableSettingsNote(const std::string &pluginPath);

// The report of a file's bytes, whose profile-reader answers come from
// fullPath; sets fixes to the number of things to fix.
std::string SettingsReport(const std::string &bytes, const std::string &fullPath, size_t &fixes);
