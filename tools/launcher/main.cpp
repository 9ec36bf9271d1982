// kdserve: runs 'kdhost --serve' without a console window, as 'kdhost
// --autostart install' registers it to start at each logon: it starts the
// kdhost.exe beside it with the same serve options, starts it again whenever
// it ends, and keeps a log under %LOCALAPPDATA%\KelvoDyn. A Windows-subsystem
// program, so nothing shows on the desktop.
#include <windows.h>

#include <string>
#include <vector>

#include "autostart_arguments.h"
#include "command_line_args.h"
#include "command_line_text.h"
#include "exit_codes.h"
#include "host_options.h"
#include "launcher_loop.h"
#include "option_values.h"
#include "plugin_loader.h"
#include "serve_instance.h"
#include "code_pages.h"
#include "text_output.h"
#include "tool_messages.h"
#include "wide_path.h"

namespace {

const char kUsage[] =
    "kdserve - runs kdhost --serve without a console window, and again whenever it ends\n"
    "\n"
    "Usage: kdserve --serve [ADDR:]PORT [--plugin PATH]\n"
    "\n"
    "Not meant to be started by hand: 'kdhost --autostart install --serve ...'\n"
    "registers it to start at each logon of this user and starts it; 'kdhost\n"
    "--autostart show' says whether it runs; 'kdhost --autostart remove' stops it.\n"
    "It starts the kdhost.exe beside it with these options (a fixed port; the\n"
    "plug-in as kdhost --serve takes it), starts it again after 1, 2, 4 ... at most\n"
    "60 seconds whenever it ends (at most 5 starts a minute), and stops it at the\n"
    "end of the session. Its log: %LOCALAPPDATA%\\KelvoDyn\\kdserve-PORT.log.\n"
    "\n";

// Says text to whoever started it: on standard error when it has one (a
// pipe, a file), else on the console of the command prompt it was started
// from, if any, attached for the message only: a program attached to a
// console is ended when that console closes, and the server must not be.
void SayToUser(const std::string &text) {
    TextStream stream = StandardError();
    if (stream.handle != nullptr && stream.handle != INVALID_HANDLE_VALUE) {
        WriteText(stream, text);
        return;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return; // started at logon: the log is the only place
    }
    stream.handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    DWORD mode = 0;
    stream.console = GetConsoleMode(stream.handle, &mode) != 0;
    WriteText(stream, text);
    CloseHandle(stream.handle);
    FreeConsole();
}

} // namespace

int main() {
    SetMessageTool(Tool::Serve);
    std::string error;
    auto options = ParseHostOptions(CommandLineArguments(), error);
    if (options && (options->help || options->version)) {
        SayToUser(options->help ? kUsage + ExitCodesHelp(Tool::Serve) : VersionLine("kdserve"));
        return kExitOk;
    }
    if (options && options->autostart == AutostartAction::None) {
        error = UnattendedServeProblem(*options, "kdserve");
    } else if (options) {
        error = "kdserve takes the serve options; --autostart is kdhost's";
    }
    if (!error.empty()) {
        SayToUser(MessageLine(error)); // escaped as every tool's messages
        return kExitUsage;
    }
    std::string pluginPath = options->pluginPath;
    if (pluginPath.empty() && !DefaultPluginPath(pluginPath, error)) {
        SayToUser(MessageLine(error)); // escaped as every tool's messages
        return kExitNoPlugin;
    }
    const std::wstring self = ModulePath();
    LauncherSettings settings;
    settings.port = options->listen.port;
    settings.folder = self.substr(0, self.find_last_of(L"\\/") + 1);
    const std::string host = WideToUtf8(settings.folder + L"kdhost.exe");
    settings.shownCommand = JoinArguments({host}) + " " +
                            JoinArguments(ServeArguments(options->listen, FullPath(pluginPath)));
    settings.serverCommand = Utf8ToWide(settings.shownCommand);
    ServeLog log;
    log.path = ServeLogPath(settings.port);
    log.oldPath = OldServeLogPath(settings.port);
    return RunLauncher(settings, log, SayToUser);
}
