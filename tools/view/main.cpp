// kdview: loads KelvoDyn.dll as a monitoring host does and draws every source
// as a live chart on its own scale, in a window or into a PNG snapshot.
#include <string>
#include <vector>

#include "exit_codes.h"
#include "option_values.h"
#include "plugin_loader.h"
#include "png_file.h"
#include "text_output.h"
#include "view_options.h"
#include "view_window.h"

namespace {

int Fail(int code, const std::string &message) {
    WriteText(StandardError(), "kdview: " + message + "\n");
    return code;
}

} // namespace

int main(int argc, char **argv) {
    std::string error;
    auto options = ParseViewOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        return Fail(kExitUsage, error);
    }
    if (options->help) {
        WriteText(StandardOutput(), ViewUsage());
        return kExitOk;
    }
    if (options->version) {
        WriteText(StandardOutput(), VersionLine("kdview"));
        return kExitOk;
    }
    if (!options->snapshotPath.empty() && !PngPathUsable(options->snapshotPath, error)) {
        return Fail(kExitFileFailed, error);
    }
    LoadedPlugin plugin;
    std::string path = options->pluginPath;
    if ((path.empty() && !DefaultPluginPath(path, error)) || !LoadPlugin(path, plugin, error)) {
        return Fail(kExitNoPlugin, error);
    }
    int code = RunViewWindow(plugin, *options, error);
    UnloadPlugin(plugin);
    if (code != kExitOk) {
        return Fail(code, error);
    }
    if (!options->snapshotPath.empty()) {
        WriteText(StandardOutput(), "kdview: wrote " + ShownPath(options->snapshotPath) + "\n");
    }
    return kExitOk;
}
