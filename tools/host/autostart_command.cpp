// Install checks everything --serve would check (the plug-in loads, the
// address can be listened on) before it changes anything; then it writes the
// Run value, stops what served before and starts that very command line, as
// the next logon will.
#include "autostart_command.h"

#include "code_pages.h"

#include <windows.h>

#include "autostart_arguments.h"
#include "autostart_probe.h"
#include "autostart_registry.h"
#include "command_line_args.h"
#include "command_line_text.h"
#include "error_words.h"
#include "exit_codes.h"
#include "machine_name.h"
#include "plugin_loader.h"
#include "serve_instance.h"
#include "terminal_text.h"
#include "wide_path.h"

namespace {

const char kLauncherName[] = "kdserve.exe";
// How long a stopped server may take to end, and a started one to answer.
const DWORD kStopWaitMs = 15000;
const DWORD kStartWaitMs = 30000;

// The registration as read back: the command and, when it is one install
// writes, its options.
struct Registered {
    Registration state = Registration::Absent;
    std::wstring command;
    std::string readError;
    bool usable = false;
    HostOptions options;
    std::string problem; // why it is not usable
};

Registered ReadRegistration() {
    Registered r;
    r.state = ReadRegisteredCommand(r.command, r.readError);
    if (r.state != Registration::Present) {
        return r;
    }
    const std::vector<std::string> arguments = ArgumentsOf(r.command);
    std::string error;
    auto options = ParseHostOptions(arguments, error);
    if (options) {
        error = UnattendedServeProblem(*options, "kdserve");
    }
    r.usable = error.empty();
    r.problem = error;
    if (options) {
        r.options = *options;
    }
    return r;
}

std::string Shown(const std::wstring &command) {
    return TerminalText(WideToUtf8(command), kPathChars);
}

// A path in the report: by the one rule of paths, its name kept at the end.
std::string ShownWidePath(const std::wstring &path) {
    return PathText(WideToUtf8(path));
}

std::string StopWords(StopOutcome outcome, uint16_t port) {
    const std::string which = "the server on port " + std::to_string(port);
    switch (outcome) {
    case StopOutcome::NotRunning:
        return "";
    case StopOutcome::Stopped:
        return "kdhost: stopped " + which + "\n";
    case StopOutcome::Ended:
        return "kdhost: " + which + " did not stop when asked and was ended\n";
    case StopOutcome::Running:
        break;
    }
    return "kdhost: " + which + " could not be stopped: it still runs\n";
}

std::string LogLine(uint16_t port) {
    return "kdhost: its log: " + ShownWidePath(ServeLogPath(port)) + "\n";
}

// Starts the registered command line as the logon does, from kdserve's own
// folder (so no folder of the user's is held open), with no handles of ours.
bool StartRegistered(const std::wstring &command, const std::wstring &folder, HANDLE &process,
                     std::string &error) {
    std::wstring line = command;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES; // none: nothing of our console or pipes
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        folder.c_str(), &startup, &info)) {
        error = "kdserve.exe cannot be started: " + ErrorWords(GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    process = info.hProcess;
    return true;
}

// Waits until it answers, or it ends, or the time is up; the sentence for each.
bool WaitUntilServing(HANDLE process, const ListenAddress &listen, std::string &words) {
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < kStartWaitMs) {
        if (ServerAnswers(listen, 2000)) {
            return true;
        }
        if (WaitForSingleObject(process, 200) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process, &code);
            words = "kdserve ended at once, with exit code " + std::to_string(code);
            return false;
        }
    }
    words = "it does not answer yet, " + std::to_string(kStartWaitMs / 1000) +
            " seconds after its start";
    return false;
}

int Install(const HostOptions &options, const TextStream &out, std::string &error) {
    std::string pluginPath = options.pluginPath;
    LoadedPlugin plugin;
    if ((pluginPath.empty() && !DefaultPluginPath(pluginPath, error)) ||
        !LoadPlugin(pluginPath, plugin, error)) {
        return kExitNoPlugin;
    }
    pluginPath = plugin.path;
    UnloadPlugin(plugin);

    const std::wstring program = ModulePath();
    const std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
    const std::wstring launcher = folder + Utf8ToWide(kLauncherName);
    const DWORD attributes = GetFileAttributesW(launcher.c_str());
    if (folder.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = std::string(kLauncherName) + ", which runs the server without a console window, " +
                "is not beside kdhost.exe in " + ShownWidePath(folder) +
                ": install from a folder of the release that holds both";
        return kExitFileFailed;
    }

    const uint16_t port = options.listen.port;
    const Registered before = ReadRegistration();
    // The port may be held by the server this replaces; anything else holding it is refused.
    int code = CheckServeAddress(options.listen, error);
    if (code == kExitAddressInUse && FindInstance(port).running) {
        code = kExitOk;
        error.clear();
    }
    if (code != kExitOk) {
        return code;
    }

    // Written first: when it cannot be, what ran before runs on.
    const std::wstring command =
        Utf8ToWide(JoinArguments({WideToUtf8(launcher)}) + " " +
                   JoinArguments(ServeArguments(options.listen, pluginPath)));
    if (!WriteRegisteredCommand(command, error)) {
        return kExitFileFailed;
    }
    std::string report;
    if (before.usable && before.options.listen.port != port) {
        report += StopWords(StopInstance(before.options.listen.port, kStopWaitMs),
                            before.options.listen.port);
    }
    report += StopWords(StopInstance(port, kStopWaitMs), port);
    ClearStartupMark();
    report += std::string("kdhost: registered to start at each logon of this user (") +
              kRunKeyShown + ", value \"" + kRunValueShown + "\"):\n  " + Shown(command) + "\n";

    HANDLE process = nullptr;
    std::string why;
    bool serving = StartRegistered(command, folder, process, why) &&
                   WaitUntilServing(process, options.listen, why);
    if (process != nullptr) {
        CloseHandle(process);
    }
    const std::string url = ServedUrl(options.listen.host, port, MachineName());
    report += serving ? "kdhost: started now: serving " + url + " (metrics at /metrics)\n"
                      : "kdhost: registered, but not serving now: " + why + "\n";
    if (!Loopback(options.listen.host)) {
        report += "kdhost: other machines can reach it, and it has no login: allow the port in "
                  "the firewall to the monitoring server only (docs/unattended.md)\n";
    }
    WriteText(out, report + LogLine(port));
    return serving ? kExitOk : kExitNo;
}

int Remove(const TextStream &out, std::string &error) {
    const Registered before = ReadRegistration();
    if (before.state == Registration::Unreadable) {
        error = before.readError;
        return kExitFileFailed;
    }
    std::string report;
    StopOutcome stopped = StopOutcome::NotRunning;
    if (before.usable) {
        stopped = StopInstance(before.options.listen.port, kStopWaitMs);
        report += StopWords(stopped, before.options.listen.port);
    }
    if (!DeleteRegisteredCommand(error)) {
        WriteText(out, report);
        return kExitFileFailed;
    }
    ClearStartupMark();
    if (before.state == Registration::Absent) {
        report += "kdhost: no start at logon was registered for this user; nothing to remove\n";
    } else {
        report += std::string("kdhost: removed the start at logon (") + kRunKeyShown +
                  ", value \"" + kRunValueShown + "\")\n";
    }
    if (before.usable) {
        report += "kdhost: the log stays, for what happened: " +
                  ShownWidePath(ServeLogPath(before.options.listen.port)) + "\n";
    }
    WriteText(out, report);
    return stopped == StopOutcome::Running ? kExitNo : kExitOk;
}

int Show(const TextStream &out, std::string &error) {
    const Registered r = ReadRegistration();
    if (r.state == Registration::Unreadable) {
        error = r.readError;
        return kExitFileFailed;
    }
    if (r.state == Registration::Absent) {
        WriteText(out, std::string("kdhost: no start at logon is registered for this user (") +
                           kRunKeyShown + " has no value \"" + kRunValueShown + "\")\n");
        return kExitNo;
    }
    std::string report = std::string("registered: ") + Shown(r.command) + "\n            (" +
                         kRunKeyShown + ", value \"" + kRunValueShown + "\")\n";
    if (!r.usable) {
        WriteText(out, report + "kdhost: that is no command kdhost --autostart install writes (" +
                           r.problem + "); install again to replace it\n");
        return kExitNo;
    }
    const uint16_t port = r.options.listen.port;
    const std::string url = ServedUrl(r.options.listen.host, port, MachineName());
    const RunningInstance instance = FindInstance(port);
    bool serving = false;
    if (instance.running) {
        serving = ServerAnswers(r.options.listen, 5000);
        report += "running:    yes" +
                  (instance.processId ? ", kdserve process " + std::to_string(instance.processId)
                                      : std::string()) +
                  "\nserving:    " + url +
                  (serving ? " answers\n" : " does not answer now; the log says why\n");
    } else {
        report += "running:    no; it starts at the next logon (or install again to start it "
                  "now)\nserving:    " +
                  url + " once it runs\n";
    }
    if (StartupDisabled()) {
        report += "disabled:   Task Manager's Startup tab has it disabled, so it does not start "
                  "at logon; enable it there, or install again\n";
    }
    WriteText(out, report + "log:        " + ShownWidePath(ServeLogPath(port)) + "\n");
    return serving ? kExitOk : kExitNo;
}

} // namespace

int RunAutostart(const HostOptions &options, const TextStream &out, std::string &error) {
    switch (options.autostart) {
    case AutostartAction::Install:
        return Install(options, out, error);
    case AutostartAction::Remove:
        return Remove(out, error);
    case AutostartAction::Show:
    case AutostartAction::None:
        break;
    }
    return Show(out, error);
}
