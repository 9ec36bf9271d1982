// Names converted for the profile format, and the settings text, in the
// plug-in's own words (src/module/settings_file.h).
#include "settings_writer.h"

#include <algorithm>
#include <map>

#include "code_pages.h"
#include "settings_name.h"
#include "settings_words.h"

namespace {

// No best-fit guesses: what the code page lacks, and U+FFFD for bytes that
// were no UTF-8, is a plain '?'.
std::string WideToAnsi(const std::wstring &wide) {
    return Narrow(wide, CP_ACP);
}

// A path (UTF-8, as the tools keep paths) as ANSI text on one comment line.
std::string OneLine(const std::string &path) {
    std::string text = WideToAnsi(Utf8ToWide(path));
    for (char &c : text) {
        c = (c == '\r' || c == '\n') ? ' ' : c;
    }
    return text;
}

// The name as the settings reader reads it back, with the suffix (ANSI) kept
// whole at its end.
std::string NameWithSuffix(const std::string &utf8, const std::string &suffix) {
    return SettingsNameIn(utf8, {Utf8ToWide, WideToAnsi}, suffix);
}

// Counts, per group, how often each name occurs.
std::map<std::pair<SourceGroup, std::string>, int>
NameCounts(const std::vector<Sensor> &sensors, const std::vector<std::string> &names) {
    std::map<std::pair<SourceGroup, std::string>, int> counts;
    for (size_t i = 0; i < sensors.size(); ++i) {
        ++counts[{sensors[i].group, names[i]}];
    }
    return counts;
}

// "amdgpu#2" for the second device named amdgpu, in the order sensors come;
// the bare name when only one device has it.
std::string NumberedDevice(const std::vector<Sensor> &sensors, const Sensor &sensor) {
    std::vector<std::string> paths;
    for (const Sensor &other : sensors) {
        if (other.device == sensor.device &&
            std::find(paths.begin(), paths.end(), other.devicePath) == paths.end()) {
            paths.push_back(other.devicePath);
        }
    }
    size_t position = std::find(paths.begin(), paths.end(), sensor.devicePath) - paths.begin();
    return paths.size() < 2 ? sensor.device : sensor.device + "#" + std::to_string(position + 1);
}

} // namespace

std::string SettingsName(const std::string &utf8) {
    return NameWithSuffix(utf8, "");
}

std::vector<std::string> UniqueSettingsNames(const std::vector<Sensor> &sensors) {
    std::vector<std::string> names;
    for (const Sensor &sensor : sensors) {
        names.push_back(SettingsName(SensorName(sensor)));
    }
    // Equal names of devices of one name: the device's number tells them apart.
    auto counts = NameCounts(sensors, names);
    for (size_t i = 0; i < sensors.size(); ++i) {
        if (counts[{sensors[i].group, names[i]}] > 1) {
            names[i] =
                SettingsName(NumberedDevice(sensors, sensors[i]) + " " + SensorLabel(sensors[i]));
        }
    }
    // Still equal (labels alike up to the cut, or a label a driver repeats):
    // a running number at the end of all but the first.
    counts = NameCounts(sensors, names);
    std::map<std::pair<SourceGroup, std::string>, int> seen;
    for (size_t i = 0; i < sensors.size(); ++i) {
        const std::pair<SourceGroup, std::string> key{sensors[i].group, names[i]};
        int n = ++seen[key];
        if (counts[key] > 1 && n > 1) {
            names[i] = NameWithSuffix(SensorName(sensors[i]), " (" + std::to_string(n) + ")");
        }
    }
    return names;
}

std::string SettingsText(const SensorSelection &selection, bool fahrenheit,
                         const std::string &source) {
    std::string text =
        "; Settings for KelvoDyn.dll, written by kdmonitor --write-settings from the\r\n"
        "; kernel's sensors in " +
        OneLine(source) + ".\r\n; " + KeyWithWord(SETTINGS_TEMPERATURE_KEY, " N") + " and " +
        KeyWithWord(SETTINGS_FAN_KEY, " N") +
        " name the sources in the order kdmonitor --hwmon\r\n"
        "; publishes them; a name may be edited, at most " +
        std::to_string(SETTINGS_NAME_CHARS) + " characters.\r\n\r\n" + SettingsSectionLine() +
        "\r\n" SETTINGS_USE_FAHRENHEIT "=" + (fahrenheit ? YesWord() : NoWord()) + "\r\n";
    const std::vector<std::string> names = UniqueSettingsNames(selection.published);
    int temps = 0, fans = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const bool fan = selection.published[i].group == SourceGroup::Fan;
        text += KeyOf(fan ? SETTINGS_FAN_KEY : SETTINGS_TEMPERATURE_KEY, fan ? ++fans : ++temps) +
                "=" + names[i] + "\r\n";
    }
    return text;
}
