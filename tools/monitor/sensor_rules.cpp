// Ordering, naming and converting the kernel's sensor readings.
#include "sensor_rules.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <tuple>

#include "number_reader.h"
#include "published_readings.h"

namespace {

bool StartsWith(const std::string &text, const std::string &prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

int64_t RoundedQuotient(int64_t numerator, int64_t divisor) {
    return numerator >= 0 ? (numerator + divisor / 2) / divisor
                          : -((-numerator + divisor / 2) / divisor);
}

// Paths compared as text, except that the number of a folder named hwmonK is
// compared as a number ("hwmon105" before "hwmon1001"): a device without a
// device link has only that folder as its path, and its K is no more than a
// count. Other digits stay text: bus addresses are hexadecimal.
int CompareHwmonPaths(const std::string &a, const std::string &b) {
    static const std::string kStem = "hwmon";
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    // The length of the digit run at text[at].
    auto digits = [&](const std::string &text, size_t at) {
        size_t end = at;
        while (end < text.size() && digit(text[end])) {
            ++end;
        }
        return end - at;
    };
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) {
        const bool stem =
            a.compare(i, kStem.size(), kStem) == 0 && b.compare(i, kStem.size(), kStem) == 0;
        if (!stem) {
            ++i;
            continue;
        }
        i += kStem.size();
        const size_t x = digits(a, i), y = digits(b, i);
        // Without leading zeros the longer run is the larger number.
        const std::string_view m = std::string_view(a).substr(i, x);
        const std::string_view n = std::string_view(b).substr(i, y);
        const std::string_view mm = m.substr(std::min(m.find_first_not_of('0'), m.size()));
        const std::string_view nn = n.substr(std::min(n.find_first_not_of('0'), n.size()));
        if (mm.size() != nn.size()) {
            return mm.size() < nn.size() ? -1 : 1;
        }
        if (const int c = mm.compare(nn); c != 0) {
            return c < 0 ? -1 : 1;
        }
        if (x != y) { // equal numbers, written with other zeros: text decides
            return a.compare(b) < 0 ? -1 : 1;
        }
        i += x;
    }
    return a.compare(i, std::string::npos, b, i, std::string::npos) < 0   ? -1
           : a.compare(i, std::string::npos, b, i, std::string::npos) > 0 ? 1
                                                                          : 0;
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
    uint64_t number = 0;
    if (ReadDigits(std::string_view(fileName).substr(digits, end - digits), 9999, number) !=
        NumberRead::Taken) {
        return false;
    }
    channel = unsigned(number);
    return true;
}

bool SensorBefore(const Sensor &a, const Sensor &b) {
    if (std::tie(a.group, a.device) != std::tie(b.group, b.device)) {
        return std::tie(a.group, a.device) < std::tie(b.group, b.device);
    }
    if (const int path = CompareHwmonPaths(a.devicePath, b.devicePath); path != 0) {
        return path < 0;
    }
    if (a.channel != b.channel) {
        return a.channel < b.channel;
    }
    return CompareHwmonPaths(a.inputPath, b.inputPath) < 0;
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
    // Up to 18 digits: nine times such a value still fits 64 bits (TemperatureSlot).
    constexpr int64_t kLargest = 999999999999999999;
    return ReadWhole(TrimmedText(text), -kLargest, kLargest, value) == NumberRead::Taken;
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
