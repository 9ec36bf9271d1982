// kdview: loads KelvoDyn.dll as a monitoring host does and draws every source
// as a live chart on its own scale, in a window or into a PNG snapshot.
#include <string>
#include <vector>

#include "exit_codes.h"
#include "plugin_loader.h"
#include "png_file.h"
#include "text_output.h"
#include "tool_messages.h"
#include "tool_main.h"
#include "view_options.h"
#include "view_window.h"

namespace {

int RunView(const ViewOptions &options) {
    std::string error;
    if (!options.snapshotPath.empty() && !PngPathUsable(options.snapshotPath, error)) {
        return Fail(kExitFileFailed, error);
    }
    LoadedPlugin plugin;
    if (!LoadGivenOrDefaultPlugin(options.pluginPath, plugin, error)) {
        return Fail(kExitNoPlugin, error);
    }
    const int code = RunViewWindow(plugin, options, error);
    UnloadPlugin(plugin);
    if (code != kExitOk) {
        return Fail(code, error);
    }
    if (!options.snapshotPath.empty()) {
        Say("wrote " + ShownPath(options.snapshotPath));
    }
    return kExitOk;
}

} // namespace

int main() {
    return RunTool(Tool::View, ParseViewOptions, ViewUsage, RunView);
}
