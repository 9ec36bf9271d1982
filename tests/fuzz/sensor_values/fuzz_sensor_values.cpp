// The readers of the kernel's sensor files. The input is a file's text; its
// first line is also read as a file name and a label. Checks: a value is read
// exactly when the text is an optional minus and digits between whitespace
// (the tools' one number grammar), at most 18 of them after leading zeros, and
// it is that number; its slot is the value rounded to hundredths (halves away
// from zero) as 128-bit arithmetic gives it, or the no-reading mark when that
// does not fit; an input file name is read exactly when it is tempN_input or
// fanN_input with 1 to 4 digits; a label is the driver's or the channel's, and
// the block keeps the first 32 of each group.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "published_readings.h"
#include "sensor_rules.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number the text holds by the rule stated above, or false.
bool ExpectedInteger(const std::string &text, int64_t &value) {
    size_t first = 0, last = text.size();
    while (first < last && IsSpace(text[first])) {
        ++first;
    }
    while (last > first && IsSpace(text[last - 1])) {
        --last;
    }
    const bool sign = first < last && text[first] == '-';
    if (last - first - (sign ? 1 : 0) < 1) {
        return false;
    }
    // Leading zeros count for nothing; past 18 digits the number is too large.
    __int128 number = 0;
    size_t significant = 0;
    for (size_t i = first + (sign ? 1 : 0); i < last; ++i) {
        if (!IsDigit(text[i])) {
            return false;
        }
        significant += number > 0 || text[i] != '0' ? 1 : 0;
        number = significant > 18 ? number : number * 10 + (text[i] - '0');
    }
    if (significant > 18) {
        return false;
    }
    value = int64_t(sign ? -number : number);
    return true;
}

int32_t ExpectedSlot(__int128 numerator, __int128 divisor) {
    const __int128 magnitude =
        ((numerator < 0 ? -numerator : numerator) * 2 + divisor) / (2 * divisor);
    const __int128 rounded = numerator < 0 ? -magnitude : magnitude;
    const bool fits = rounded > std::numeric_limits<int32_t>::min() &&
                      rounded <= std::numeric_limits<int32_t>::max();
    return fits ? int32_t(rounded) : kNoReadingSlot;
}

void CheckValue(const std::string &text) {
    int64_t expected = 0, value = 0;
    const bool valid = ExpectedInteger(text, expected);
    Require(ParseSysfsInteger(text, value) == valid, "a value is read exactly when it is one");
    if (!valid) {
        return;
    }
    Require(value == expected, "a value reads as the number it holds");
    Require(TemperatureSlot(value, false) == ExpectedSlot(value, 10),
            "degrees Celsius are hundredths rounded half away from zero");
    // Fahrenheit hundredths: (m * 9 / 5 + 32000) / 10 = (m * 9 + 160000) / 50.
    Require(TemperatureSlot(value, true) == ExpectedSlot(__int128(value) * 9 + 160000, 50),
            "degrees Fahrenheit are hundredths rounded half away from zero");
    Require(FanSlot(value) == ExpectedSlot(value, 1), "a fan slot is the RPM when it fits");
}

void CheckName(const std::string &name) {
    const bool temp = name.rfind("temp", 0) == 0, fan = name.rfind("fan", 0) == 0;
    const size_t from = temp ? 4 : 3;
    const std::string suffix = "_input";
    bool valid = (temp || fan) && name.size() >= from + 1 + suffix.size() &&
                 name.size() <= from + 4 + suffix.size() &&
                 name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    unsigned number = 0;
    for (size_t i = from; valid && i < name.size() - suffix.size(); ++i) {
        valid = IsDigit(name[i]);
        number = number * 10 + unsigned(name[i] - '0');
    }
    SourceGroup group = SourceGroup::Other;
    unsigned channel = 0;
    Require(ParseInputName(name, group, channel) == valid,
            "tempN_input and fanN_input are input files, nothing else");
    if (valid) {
        Require(channel == number && group == (temp ? SourceGroup::Temperature : SourceGroup::Fan),
                "an input file's group and channel are its name's");
        Sensor sensor;
        sensor.group = group;
        sensor.channel = channel;
        sensor.device = "dev";
        Require(SensorName(sensor) == "dev " + name.substr(0, from) + std::to_string(number),
                "without a label a sensor is named by its channel");
    }
}

void CheckLabelAndSelection(const std::string &text) {
    const std::string label = TrimmedText(text);
    Require(label.empty() || (!IsSpace(label.front()) && !IsSpace(label.back())),
            "a label has no whitespace around it");
    Require(text.find(label) != std::string::npos, "a label is part of its file");
    std::vector<Sensor> sensors;
    size_t temps = 0, fans = 0;
    for (size_t i = 0; i < text.size() && sensors.size() < 70; ++i) {
        Sensor sensor;
        sensor.group = text[i] & 1 ? SourceGroup::Fan : SourceGroup::Temperature;
        sensor.device = text.substr(i, 3);
        sensor.channel = static_cast<unsigned char>(text[i]);
        sensor.label = i % 2 ? label : "";
        Require(sensor.label.empty() || SensorLabel(sensor) == sensor.label,
                "a driver's label is the sensor's label");
        (sensor.group == SourceGroup::Fan ? fans : temps)++;
        sensors.push_back(sensor);
    }
    const SensorSelection selection = SelectForBlock(sensors);
    Require(selection.temps == std::min<size_t>(temps, 32) &&
                selection.fans == std::min<size_t>(fans, 32) &&
                selection.tempsLeftOut == temps - selection.temps &&
                selection.fansLeftOut == fans - selection.fans &&
                selection.published.size() == selection.temps + selection.fans,
            "the block keeps the first 32 of each group and counts the rest");
    for (size_t i = 0; i < selection.published.size(); ++i) {
        Require((selection.published[i].group == SourceGroup::Fan) == (i >= selection.temps),
                "temperatures come first, then fans");
        Require(i == 0 || i == selection.temps ||
                    !SensorBefore(selection.published[i], selection.published[i - 1]),
                "each group is in order");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    CheckValue(text);
    CheckName(text.substr(0, text.find('\n')));
    CheckLabelAndSelection(text);
    return 0;
}
