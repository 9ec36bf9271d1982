// The rules that turn the kernel's hardware-monitoring files into published
// sources: which files are inputs, their order, their names and their values.
// Plain functions on plain records; hwmon_sensors.cpp does the file work.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "source_group.h"

struct Sensor {
    std::string device;     // the device's name file, e.g. "coretemp"
    std::string devicePath; // where its device link leads: tells two of a name apart
    SourceGroup group = SourceGroup::Temperature;
    unsigned channel = 0;  // N of tempN_input or fanN_input
    std::string label;     // the driver's tempN_label or fanN_label; "" when none
    std::string inputPath; // the tempN_input or fanN_input file
};

// "temp12_input" is temperature channel 12, "fan2_input" fan 2; false for
// every other file of a device (limits, labels, voltages, pwm...).
bool ParseInputName(const std::string &fileName, SourceGroup &group, unsigned &channel);

// Temperatures first, then fans; in each, by device name, then device path,
// then channel number: an order the kernel keeps across reboots, unlike the
// numbers of the hwmonK folders (a path that holds one compares its K as a
// number, never as text).
bool SensorBefore(const Sensor &a, const Sensor &b);

// The label the driver gives, or the channel ("temp3", "fan2") without one.
std::string SensorLabel(const Sensor &sensor);
// The device and the label: "coretemp Package id 0", "nct6798 fan2".
std::string SensorName(const Sensor &sensor);

struct SensorSelection {
    std::vector<Sensor> published; // in block order: temperatures, then fans
    size_t temps = 0, fans = 0;
    size_t tempsLeftOut = 0, fansLeftOut = 0; // past the block's 32 slots
};

// Sorts the sensors and keeps the first 32 of each group.
SensorSelection SelectForBlock(std::vector<Sensor> sensors);

// The text of a sysfs file without the whitespace and line end around it.
std::string TrimmedText(const std::string &text);

// A whole decimal number as the kernel writes it ("45500\n", "-5250"), read
// by the tools' one number grammar (number_reader.h) once the whitespace
// around it is gone; false for anything else ("n/a", "45.5", "+7", "", a
// number of more than 18 digits).
bool ParseSysfsInteger(const std::string &text, int64_t &value);

// Millidegrees Celsius as the block's hundredths of a degree, Celsius or
// Fahrenheit, rounded to the nearest hundredth (halves away from zero);
// kNoReadingSlot when it does not fit the slot.
int32_t TemperatureSlot(int64_t millidegreesCelsius, bool fahrenheit);
// RPM as they are; kNoReadingSlot when they do not fit the slot.
int32_t FanSlot(int64_t rpm);
