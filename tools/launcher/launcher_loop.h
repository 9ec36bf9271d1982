// kdserve's watch over its server: starts kdhost --serve, starts it again
// with a growing pause whenever it ends, and stops it when asked (by kdhost
// --autostart, through the port's stop event) or when the session ends.
#pragma once

#include <cstdint>
#include <string>

#include <functional>

#include "serve_log.h"

struct LauncherSettings {
    uint16_t port = 0;
    std::wstring serverCommand; // the whole kdhost --serve command line
    std::wstring folder;        // where it is started from: kdserve's own folder
    std::string shownCommand;   // the same for the log, UTF-8
};

// kExitOk once stopped; kExitAlreadyRunning, said to the user and in the log,
// when another kdserve serves the port for this user.
int RunLauncher(const LauncherSettings &settings, ServeLog &log,
                const std::function<void(const std::string &)> &sayToUser);
