// Scans the tree once, then prints the table and writes the settings file.
#include "sensor_tools.h"

#include "exit_codes.h"
#include "hwmon_sensors.h"
#include "monitor_message.h"
#include "number_text.h"
#include "sensor_list.h"
#include "settings_writer.h"
#include "text_output.h"

namespace {

int WriteSettings(const MonitorOptions &options, const SensorSelection &selection,
                  const std::string &folder) {
    const std::string &path = options.settingsPath;
    std::string error;
    switch (WriteSettingsFile(path, SettingsText(selection, options.fahrenheit, folder),
                              options.force, error)) {
    case WriteResult::Exists:
        Say(StandardError(), AnsiToUtf8(path) + " exists already; --force replaces it");
        return kExitFileKept;
    case WriteResult::Failed:
        Say(StandardError(), AnsiToUtf8(error));
        return kExitFileFailed;
    case WriteResult::Written:
        break;
    }
    Say(StandardOutput(), "wrote " + AnsiToUtf8(path) + ": names for " +
                              Counted(selection.temps, "temperature", "temperatures") + " and " +
                              Counted(selection.fans, "fan", "fans") +
                              (options.fahrenheit ? ", UseFahrenheit=yes" : ""));
    return kExitOk;
}

} // namespace

int RunSensorTools(const MonitorOptions &options) {
    const std::string folder = HwmonFolder(options.hwmonFolder);
    SensorSelection selection;
    std::string warning, error;
    if (!FindPublishedSensors(folder, selection, warning, error)) {
        Say(StandardError(), AnsiToUtf8(error));
        return kExitNo;
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
    return options.settingsPath.empty() ? kExitOk : WriteSettings(options, selection, folder);
}
