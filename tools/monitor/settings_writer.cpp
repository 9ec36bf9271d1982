// Names converted for the profile format, the settings text, and its safe write.
#include "settings_writer.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "error_words.h"
#include "settings_name.h"
#include "text_output.h"

namespace {

std::string WideToAnsi(const std::wstring &wide) {
    if (wide.empty()) {
        return std::string();
    }
    // No best-fit guesses: what the code page lacks, and U+FFFD for bytes that
    // were no UTF-8, is a plain '?'.
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()),
                                     nullptr, 0, "?", nullptr);
    std::string ansi(size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), &ansi[0],
                        length, "?", nullptr);
    return ansi;
}

std::string KeyLine(const char *key, size_t number, const std::string &value) {
    return key + std::to_string(number) + "=" + value + "\r\n";
}

// ANSI text (a path from the command line) kept to one comment line.
std::string OneLine(std::string text) {
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
        OneLine(source) +
        ".\r\n"
        "; Temperature N and Fan N name the sources in the order kdmonitor --hwmon\r\n"
        "; publishes them; a name may be edited, at most 31 characters.\r\n"
        "\r\n"
        "[kelvodyn]\r\n" +
        "UseFahrenheit=" + (fahrenheit ? "yes" : "no") + "\r\n";
    const std::vector<std::string> names = UniqueSettingsNames(selection.published);
    size_t temps = 0, fans = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        bool fan = selection.published[i].group == SourceGroup::Fan;
        text += KeyLine(fan ? "Fan" : "Temperature", fan ? ++fans : ++temps, names[i]);
    }
    return text;
}

WriteResult WriteSettingsFile(const std::string &path, const std::string &text, bool replace,
                              std::string &error) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = "cannot write " + path + ": it is a folder";
        return WriteResult::Failed;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && !replace) {
        return WriteResult::Exists;
    }
    std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
    // The temporary file is an inner detail: the sentence names the file asked for.
    auto fail = [&](const std::string &what) {
        error = "cannot write " + path + ": " + what + " (" + ErrorWords(GetLastError()) + ")";
        DeleteFileA(temporary.c_str());
        return WriteResult::Failed;
    };
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot write " + path + ": " + FileErrorWords(path, GetLastError());
        return WriteResult::Failed;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) &&
              written == text.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok) {
        return fail("writing the temporary file failed");
    }
    // Without replace, a file that appeared meanwhile still makes the rename fail.
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExA(temporary.c_str(), path.c_str(), flags)) {
        if (GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS) {
            DeleteFileA(temporary.c_str());
            return WriteResult::Exists;
        }
        return fail("the old file stays as it was; it may be open in another program");
    }
    return WriteResult::Written;
}
