// The plug-in's settings file with a name for every published sensor: the
// keys of the temperatures and the fans in the plug-in's section, ANSI text.
#pragma once

#include <string>
#include <vector>

#include "sensor_rules.h"

// SettingsNameIn (settings_name.h) in the system's ANSI code page.
std::string SettingsName(const std::string &utf8);

// The settings names of the sensors, in their order: no two of a group alike.
// Sensors of devices with one name are told apart by the device's number in
// the order they come ("amdgpu#2 edge"); names still alike (cut at the same
// place) end in a running number ("... (2)"); all within 31 characters.
std::vector<std::string> UniqueSettingsNames(const std::vector<Sensor> &sensors);

// The whole file: a comment on where it comes from, the section, UseFahrenheit
// and one key per published sensor; CR LF line ends, ANSI text. source is the
// scanned folder (UTF-8).
std::string SettingsText(const SensorSelection &selection, bool fahrenheit,
                         const std::string &source);
