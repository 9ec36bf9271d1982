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

// The report of a file's bytes, whose profile-reader answers come from
// fullPath; sets fixes to the number of things to fix.
std::string SettingsReport(const std::string &bytes, const std::string &fullPath, size_t &fixes);
