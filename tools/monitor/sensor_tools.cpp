// Scans the tree once, then prints the table and writes the settings file.
#include "sensor_tools.h"

#include "hwmon_sensors.h"
#include "number_text.h"
#include "sensor_list.h"
#include "settings_writer.h"
#include "text_output.h"

namespace {

void Say(const TextStream &stream, const std::string &utf8) {
    WriteText(stream, "kdmonitor: " + utf8 + "\n");
}

int WriteSettings(const MonitorOptions &options, const SensorSelection &selection,
                  const std::string &folder) {
    const std::string &path = options.settingsPath;
    std::string error;
    switch (WriteSettingsFile(path, SettingsText(selection, options.fahrenheit, folder),
                              options.force, error)) {
    case WriteResult::Exists:
        Say(StandardError(), AnsiToUtf8(path) + " exists already; --force replaces it");
        return kExitSettingsExist;
    case WriteResult::Failed:
        Say(StandardError(), AnsiToUtf8(error));
        return kExitSettingsUnwritable;
    case WriteResult::Written:
        break;
    }
    Say(StandardOutput(), "wrote " + AnsiToUtf8(path) + ": names for " +
                              Counted(selection.temps, "temperature", "temperatures") + " and " +
                              Counted(selection.fans, "fan", "fans") +
                              (options.fahrenheit ? ", UseFahrenheit=yes" : ""));
    return 0;
}

} // namespace

int RunSensorTools(const MonitorOptions &options) {
    const std::string folder = HwmonFolder(options.hwmonFolder);
    SensorSelection selection;
    std::string warning, error;
    if (!FindPublishedSensors(folder, selection, warning, error)) {
        Say(StandardError(), AnsiToUtf8(error));
        return 1;
    }
    if (!warning.empty()) {
        Say(StandardError(), warning);
    }
    if (options.list) {
        Readings readings = ReadSensors(selection, options.fahrenheit);
        std::string text;
        for (const std::string &line :
             SensorListLines(selection, readings, options.fahrenheit, folder)) {
            text += line + "\n";
        }
        WriteText(StandardOutput(), text);
    }
    return options.settingsPath.empty() ? 0 : WriteSettings(options, selection, folder);
}
