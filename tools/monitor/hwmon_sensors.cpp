// Reads the hwmon tree through the Windows file functions. Under Wine the
// hwmonK links are followed like folders, GetFinalPathNameByHandleW gives the
// path a link leads to, a dangling link is not listed, and an input that fails
// to read (EIO, EOPNOTSUPP) or is no file fails in CreateFile or ReadFile.
#include "hwmon_sensors.h"

#include "file_access.h"
#include "text_output.h"
#include "wine_host.h"

const char kDefaultHwmonFolder[] = "Z:\\sys\\class\\hwmon";

namespace {

// What one read of a sensor file may give: a number and its line end.
constexpr size_t kSensorFileBytes = 256;

bool IsFile(const std::string &path) {
    return KindOfPath(path) == PathKind::File;
}

// A sysfs file is opened afresh for each read: its value is made at the read.
bool ReadSmallFile(const std::string &path, std::string &text) {
    return ReadFileStart(path, kSensorFileBytes, text);
}

std::string TrimmedFile(const std::string &path) {
    std::string text;
    return ReadSmallFile(path, text) ? TrimmedText(text) : "";
}

std::vector<std::string> EntryNames(const std::string &folder, bool folders) {
    std::vector<std::string> names;
    for (const FolderEntry &entry : ListFolder(folder)) {
        if (!folders || entry.folder) {
            names.push_back(entry.name);
        }
    }
    return names;
}

// One device: hwmonK itself holds the name and the inputs; kernels before 3.x
// kept them in hwmonK\device, which is read when hwmonK has no name file.
void ScanDevice(const std::string &hwmonFolder, const std::string &entryName,
                std::vector<Sensor> &sensors) {
    std::string folder = hwmonFolder;
    if (!IsFile(folder + "\\name") && IsFile(folder + "\\device\\name")) {
        folder += "\\device";
    }
    std::string device = TrimmedFile(folder + "\\name");
    std::string devicePath = FinalPath(hwmonFolder + "\\device");
    if (devicePath.empty()) {
        devicePath = FinalPath(hwmonFolder); // a virtual device, with no device link
    }
    for (const std::string &file : EntryNames(folder, false)) {
        Sensor sensor;
        if (!ParseInputName(file, sensor.group, sensor.channel)) {
            continue;
        }
        sensor.device = device.empty() ? entryName : device;
        sensor.devicePath = devicePath;
        std::string prefix = file.substr(0, file.size() - 6); // without "_input"
        sensor.label = TrimmedFile(folder + "\\" + prefix + "_label");
        sensor.inputPath = folder + "\\" + file;
        sensors.push_back(sensor);
    }
}

} // namespace

std::string HwmonFolder(const std::string &given) {
    if (given.empty()) {
        return kDefaultHwmonFolder;
    }
    std::string folder = given;
    if (given[0] == '/' && (given.size() == 1 || given[1] != '/')) {
        folder = "Z:" + given;
        for (char &c : folder) {
            c = c == '/' ? '\\' : c;
        }
    }
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder;
}

namespace {

// Why the kernel's own tree is missing, in the words of the platform we run on.
std::string NoDefaultTreeWords() {
    if (RunsUnderWine()) {
        return " (under Wine it is Linux's /sys/class/hwmon, reached through the Z: drive)";
    }
    return " (the Linux kernel's sensors, which Windows does not have: publish simulated "
           "values, replay a recording, or give --hwmon a folder laid out like it)";
}

} // namespace

bool ScanHwmon(const std::string &folder, std::vector<Sensor> &sensors, std::string &error) {
    sensors.clear();
    std::string found = "no hardware sensors found in " + ShownPath(folder);
    if (KindOfPath(folder) != PathKind::Folder) {
        error = found + ": there is no such folder" +
                (folder == kDefaultHwmonFolder ? NoDefaultTreeWords() : "");
        return false;
    }
    for (const std::string &entry : EntryNames(folder, true)) {
        ScanDevice(folder + "\\" + entry, entry, sensors);
    }
    if (sensors.empty()) {
        error = found + ": no device there has a temperature or fan input "
                        "(tempN_input, fanN_input)";
        return false;
    }
    return true;
}

int32_t ReadSensorSlot(const Sensor &sensor, bool fahrenheit) {
    std::string text;
    int64_t value = 0;
    if (!ReadSmallFile(sensor.inputPath, text) || !ParseSysfsInteger(text, value)) {
        return kNoReadingSlot;
    }
    return sensor.group == SourceGroup::Fan ? FanSlot(value) : TemperatureSlot(value, fahrenheit);
}

Readings ReadSensors(const SensorSelection &selection, bool fahrenheit) {
    Readings readings;
    for (const Sensor &sensor : selection.published) {
        int32_t slot = ReadSensorSlot(sensor, fahrenheit);
        (sensor.group == SourceGroup::Fan ? readings.fans : readings.temps).push_back(slot);
    }
    return readings;
}

bool FindPublishedSensors(const std::string &folder, SensorSelection &selection,
                          std::string &warning, std::string &error) {
    std::vector<Sensor> sensors;
    if (!ScanHwmon(folder, sensors, error)) {
        return false;
    }
    selection = SelectForBlock(sensors);
    warning.clear();
    const struct {
        size_t kept, leftOut;
        const char *group;
    } groups[] = {{selection.temps, selection.tempsLeftOut, "temperatures"},
                  {selection.fans, selection.fansLeftOut, "fans"}};
    for (const auto &g : groups) {
        if (g.leftOut > 0) {
            warning += (warning.empty() ? "" : "; ") + std::to_string(g.kept + g.leftOut) + " " +
                       g.group + " found, the block holds " + std::to_string(SENSOR_SLOTS) +
                       ": the last " + std::to_string(g.leftOut) + " are left out";
        }
    }
    return true;
}
