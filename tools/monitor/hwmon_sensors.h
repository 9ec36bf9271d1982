// The Linux kernel's hardware-monitoring sensors as a source of readings:
// the /sys/class/hwmon tree, reached under Wine through the Z: drive.
#pragma once

#include <string>
#include <vector>

#include "published_readings.h"
#include "sensor_rules.h"

// The folder of the kernel's sensors under Wine: /sys/class/hwmon.
extern const char kDefaultHwmonFolder[];

// The folder to scan: the default for "", a Linux path ("/sys/class/hwmon",
// starting with one slash) through Z:, any other path as it is; without a
// trailing backslash.
std::string HwmonFolder(const std::string &given);

// Every tempN_input and fanN_input of every device in folder (each hwmonK
// entry, a link to the device's folder). False with a sentence naming the
// folder when it cannot be read or holds no input.
bool ScanHwmon(const std::string &folder, std::vector<Sensor> &sensors, std::string &error);

// The sensors scanned, ordered and cut to the block's 32 per group; warning
// says how many were left out, "" when none.
bool FindPublishedSensors(const std::string &folder, SensorSelection &selection,
                          std::string &warning, std::string &error);

// The block's value for one sensor, read afresh: hundredths of a degree or
// RPM; kNoReadingSlot when the file is gone, cannot be read or holds no number.
int32_t ReadSensorSlot(const Sensor &sensor, bool fahrenheit);

// The values of sensors in block order (temperatures, then fans).
Readings ReadSensors(const SensorSelection &selection, bool fahrenheit);
