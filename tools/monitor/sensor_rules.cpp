// Ordering, naming and converting the kernel's sensor readings.
#include "sensor_rules.h"

#include <algorithm>
#include <limits>
#include <tuple>

#include "published_readings.h"

namespace {

bool StartsWith(const std::string &text, const std::string &prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

int64_t RoundedQuotient(int64_t numerator, int64_t divisor) {
    return numerator >= 0 ? (numerator + divisor / 2) / divisor
                          : -((-numerator + divisor / 2) / divisor);
}

int32_t SlotOrNoReading(int64_t value) {
    bool fits =
        value > std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
    return fits ? int32_t(value) : kNoReadingSlot;
}

} // namespace

bool ParseInputName(const std::string &fileName, SourceGroup &group, unsigned &channel) {
    const std::string suffix = "_input";
    size_t digits;
    if (StartsWith(fileName, "temp")) {
        group = SourceGroup::Temperature;
        digits = 4;
    } else if (StartsWith(fileName, "fan")) {
        group = SourceGroup::Fan;
        digits = 3;
    } else {
        return false;
    }
    size_t end = fileName.size() >= suffix.size() ? fileName.size() - suffix.size() : 0;
    if (end <= digits || end - digits > 4 || fileName.compare(end, suffix.size(), suffix) != 0) {
        return false;
    }
    channel = 0;
    for (size_t i = digits; i < end; ++i) {
        if (fileName[i] < '0' || fileName[i] > '9') {
            return false;
        }
        channel = channel * 10 + unsigned(fileName[i] - '0');
    }
    return true;
}

bool SensorBefore(const Sensor &a, const Sensor &b) {
    return std::tie(a.group, a.device, a.devicePath, a.channel, a.inputPath) <
           std::tie(b.group, b.device, b.devicePath, b.channel, b.inputPath);
}

std::string SensorLabel(const Sensor &sensor) {
    if (!sensor.label.empty()) {
        return sensor.label;
    }
    return (sensor.group == SourceGroup::Fan ? "fan" : "temp") + std::to_string(sensor.channel);
}

std::string SensorName(const Sensor &sensor) {
    return sensor.device + " " + SensorLabel(sensor);
}

SensorSelection SelectForBlock(std::vector<Sensor> sensors) {
    std::sort(sensors.begin(), sensors.end(), SensorBefore);
    std::vector<Sensor> temps, fans;
    for (Sensor &sensor : sensors) {
        (sensor.group == SourceGroup::Fan ? fans : temps).push_back(std::move(sensor));
    }
    SensorSelection selection;
    selection.tempsLeftOut = KeepSlots(temps);
    selection.fansLeftOut = KeepSlots(fans);
    selection.temps = temps.size();
    selection.fans = fans.size();
    selection.published = std::move(temps);
    selection.published.insert(selection.published.end(), fans.begin(), fans.end());
    return selection;
}

std::string TrimmedText(const std::string &text) {
    const char *space = " \t\r\n";
    size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

bool ParseSysfsInteger(const std::string &text, int64_t &value) {
    std::string number = TrimmedText(text);
    size_t at = number.size() > 0 && (number[0] == '-' || number[0] == '+') ? 1 : 0;
    if (at == number.size() || number.size() - at > 18) {
        return false; // no digits, or more than a 64-bit number surely holds
    }
    int64_t magnitude = 0;
    for (size_t i = at; i < number.size(); ++i) {
        if (number[i] < '0' || number[i] > '9') {
            return false;
        }
        magnitude = magnitude * 10 + (number[i] - '0');
    }
    value = number[0] == '-' ? -magnitude : magnitude;
    return true;
}

int32_t TemperatureSlot(int64_t millidegreesCelsius, bool fahrenheit) {
    // At most 18 digits come in, so 9 times the value still fits 64 bits.
    // Fahrenheit hundredths: m * 9/50 + 3200, rounded once as a whole.
    int64_t hundredths = fahrenheit ? RoundedQuotient(millidegreesCelsius * 9 + 160000, 50)
                                    : RoundedQuotient(millidegreesCelsius, 10);
    return SlotOrNoReading(hundredths);
}

int32_t FanSlot(int64_t rpm) {
    return SlotOrNoReading(rpm);
}
