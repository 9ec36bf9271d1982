// Writes the plug-in's settings file with a name for every published sensor:
// Temperature1.. and Fan1.. in the section [kelvodyn], ANSI text.
#pragma once

#include <string>

#include "sensor_rules.h"

// SettingsNameIn (settings_name.h) in the system's ANSI code page.
std::string SettingsName(const std::string &utf8);

// The whole file: a comment on where it comes from, the section, UseFahrenheit
// and one key per published sensor; CR LF line ends. source is the scanned
// folder, ANSI as the command line gave it.
std::string SettingsText(const SensorSelection &selection, bool fahrenheit,
                         const std::string &source);

enum class WriteResult { Written, Exists, Failed };

// Writes text to path through a temporary file in the same folder and a
// rename, so a failure leaves an existing file whole. Without replace an
// existing file is left alone (Exists). Failed comes with a sentence in error.
WriteResult WriteSettingsFile(const std::string &path, const std::string &text, bool replace,
                              std::string &error);
