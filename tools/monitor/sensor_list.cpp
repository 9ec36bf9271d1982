// The --list table, laid out by the shared text table.
#include "sensor_list.h"

#include <cstdio>
#include <cstdlib>

#include "terminal_text.h"
#include "text_output.h"
#include "text_table.h"

namespace {

// The widest a device, label or file name of the table may be.
const size_t kCellChars = 60;

} // namespace

std::string SlotText(int32_t slot, SourceGroup group) {
    if (slot == kNoReadingSlot) {
        return "no reading";
    }
    if (group == SourceGroup::Fan) {
        return std::to_string(slot);
    }
    char text[32];
    long long magnitude = std::llabs((long long)slot);
    std::snprintf(text, sizeof text, "%s%lld.%02lld", slot < 0 ? "-" : "", magnitude / 100,
                  magnitude % 100);
    return text;
}

std::vector<std::string> SensorListLines(const SensorSelection &selection, const Readings &readings,
                                         bool fahrenheit, const std::string &folder) {
    const std::vector<TableColumn> columns = {{"#", Align::Right},     {"group", Align::Left},
                                              {"device", Align::Left}, {"label", Align::Left},
                                              {"value", Align::Right}, {"unit", Align::Left},
                                              {"file", Align::Left}};
    const std::string degrees = fahrenheit ? "\xC2\xB0"
                                             "F"
                                           : "\xC2\xB0"
                                             "C";
    std::vector<std::vector<std::string>> rows;
    size_t temp = 0, fan = 0;
    for (const Sensor &sensor : selection.published) {
        bool isFan = sensor.group == SourceGroup::Fan;
        int32_t slot = isFan
                           ? (fan < readings.fans.size() ? readings.fans[fan] : kNoReadingSlot)
                           : (temp < readings.temps.size() ? readings.temps[temp] : kNoReadingSlot);
        size_t index = isFan ? selection.temps + fan++ : temp++;
        std::string file = sensor.inputPath;
        if (file.compare(0, folder.size() + 1, folder + "\\") == 0) {
            file.erase(0, folder.size() + 1);
        }
        // Names and paths come from the file system: escaped, and long ones cut.
        rows.push_back({std::to_string(index), GroupName(sensor.group),
                        TerminalText(sensor.device, kCellChars),
                        TerminalText(SensorLabel(sensor), kCellChars), SlotText(slot, sensor.group),
                        slot == kNoReadingSlot ? ""
                        : isFan                ? "RPM"
                                               : degrees,
                        TerminalText(file, kCellChars)});
    }
    return TableLines(columns, rows);
}
