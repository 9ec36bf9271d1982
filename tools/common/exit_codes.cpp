// The one table of exit codes, with each tool's words for each code. The
// words name options plainly; docs/exit-codes.md holds the same words with
// the options in backticks.
#include "exit_codes.h"

#include "text_output.h"

const std::vector<ExitCodeRow> &ExitCodeTable() {
    static const std::vector<ExitCodeRow> table = {
        {kExitOk,
         "done",
         {"the plug-in reports sources; --diagnose: the monitor is live and publishes readings; "
          "--watch: sources at the last redraw; --serve: stopped; --check-settings: nothing to "
          "fix, or no settings file beside the plug-in (the defaults apply); --autostart: it "
          "serves (remove: nothing is left)",
          "a clean stop; --stop: the running monitor was asked to stop; --list and "
          "--write-settings: done; --replay: the recording played whole",
          "the window was closed, or the snapshot written",
          "stopped when asked (kdhost --autostart remove or install) or at the end of the "
          "session"}},
        {kExitNo,
         "the answer is no",
         {"no sources; --diagnose: the plug-in would show nothing; --check-settings: something to "
          "fix; --autostart: it does not serve (show: nothing registered, not running or not "
          "answering)",
          "nothing to publish (no sensor found, or the block cannot be made); --stop: no "
          "monitor is running; --replay: a file that is no recording or holds no usable row",
          "", ""}},
        {kExitUsage,
         "a bad command line",
         {"a bad command line", "a bad command line", "a bad command line", "a bad command line"}},
        {kExitNoPlugin,
         "the plug-in cannot be loaded or lacks an export",
         {"the plug-in cannot be loaded (no such file, no DLL, the other bitness, the program's "
          "own folder unknown) or lacks one of GetSourcesNum, GetSourceDesc and GetSourceData",
          "",
          "the plug-in cannot be loaded or lacks one of GetSourcesNum, GetSourceDesc and "
          "GetSourceData, as for kdhost",
          "without --plugin, the folder of the plug-in beside it cannot be named (the program's "
          "own folder unknown)"}},
        {kExitFileFailed,
         "a file cannot be opened, read or written",
         {"the --log file cannot be opened or written (a full disk ends the log); "
          "--check-settings: the settings file cannot be read, or FILE is missing or is no file "
          "(a device, a pipe); --autostart install: kdserve.exe is not beside "
          "kdhost.exe, or the user's Run key cannot be written",
          "--write-settings: the settings file cannot be written (an existing one stays as it "
          "was); --replay: the recording cannot be opened",
          "the --snapshot picture cannot be written", ""}},
        {kExitFileKept,
         "a file is there and is left alone",
         {"the --log file is there and is no recording with the same header: it is left as it "
          "is",
          "--write-settings: the file is there and is left as it is (see --force)", "", ""}},
        {kExitAddressInUse,
         "the listen address is in use",
         {"--serve: the port is in use by another program", "", "", ""}},
        {kExitAddressUnusable,
         "the listen address is not this machine's, or cannot be served",
         {"--serve: the address is not this machine's, or cannot be served (broadcast, "
          "multicast, an IPv4 address in IPv6 form)",
          "", "", ""}},
        {kExitNoDisplay,
         "no graphical session",
         {"", "", "there is no graphical session to open the window in", ""}},
        {kExitReplayIncomplete,
         "a replay skipped rows or was cut short",
         {"",
          "--replay: rows were skipped, the rest could not be read, or the recording "
          "changed while it played (a summary says so)",
          "", ""}},
        {kExitAlreadyRunning,
         "another instance runs already",
         {"", "another monitor publishes the block already: the first one goes on", "",
          "started a second time for the same port: the first one goes on (see "
          "docs/unattended.md)"}},
    };
    return table;
}

std::string ExitCodesHelp(Tool tool) {
    constexpr size_t kWidth = 78, kIndent = 5; // "  N  " before each text
    std::string text = "Exit codes:\n";
    for (const ExitCodeRow &row : ExitCodeTable()) {
        const std::string words = row.byTool[int(tool)];
        if (words.empty()) {
            continue;
        }
        const std::string code = std::to_string(int(row.code));
        std::string head = "  " + code + std::string(kIndent - 2 - code.size(), ' ');
        for (const std::string &line : WrapWords(words, kWidth - kIndent)) {
            text += head + line + "\n";
            head = std::string(kIndent, ' ');
        }
    }
    return text;
}
