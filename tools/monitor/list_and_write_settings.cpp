// Scans the tree once, then prints the table and writes the settings file.
#include "list_and_write_settings.h"

#include "exit_codes.h"
#include "file_access.h"
#include "hwmon_sensors.h"
#include "number_text.h"
#include "sensor_list.h"
#include "settings_words.h"
#include "settings_writer.h"
#include "text_output.h"
#include "tool_messages.h"

namespace {

int WriteSettings(const MonitorOptions &options, const SensorSelection &selection,
                  const std::string &folder) {
    const std::string &path = options.settingsPath;
    std::string why;
    switch (WriteReplacing(path, SettingsText(selection, options.fahrenheit, folder), options.force,
                           why)) {
    case WriteOutcome::Exists:
        return Fail(kExitFileKept, ShownPath(path) + " exists already; --force replaces it");
    case WriteOutcome::Failed:
        return Fail(kExitFileFailed, "cannot write " + ShownPath(path) + ": " + why);
    case WriteOutcome::Written:
        break;
    }
    Say("wrote " + ShownPath(path) + ": names for " +
        Counted(selection.temps, "temperature", "temperatures") + " and " +
        Counted(selection.fans, "fan", "fans") +
        (options.fahrenheit ? ", " SETTINGS_USE_FAHRENHEIT "=" + std::string(YesWord()) : ""));
    return kExitOk;
}

} // namespace

int RunListAndWriteSettings(const MonitorOptions &options) {
    const std::string folder = HwmonFolder(options.hwmonFolder);
    SensorSelection selection;
    std::string warning, error;
    if (!FindPublishedSensors(folder, selection, warning, error)) {
        return Fail(kExitNo, error);
    }
    if (!warning.empty()) {
        Warn(warning);
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
