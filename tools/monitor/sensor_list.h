// What kdmonitor --list prints: each sensor --hwmon would publish, with its
// index as the host will see it and its value now.
#pragma once

#include <string>
#include <vector>

#include "published_readings.h"
#include "sensor_rules.h"

// A slot as people read it: "45.50" degrees, "1200" RPM, "no reading".
std::string SlotText(int32_t slot, SourceGroup group);

// A header line, then one line per published sensor: index, group, device,
// label, value, unit and the input file below folder. UTF-8, no line ends.
std::vector<std::string> SensorListLines(const SensorSelection &selection, const Readings &readings,
                                         bool fahrenheit, const std::string &folder);
