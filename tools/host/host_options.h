// Command line of kdhost: which plug-in to load, what to print and how often.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "listen_address.h"

enum class OutputFormat { Table, Json, Csv };

// --autostart: the server started at this user's logon (docs/unattended.md).
enum class AutostartAction { None, Install, Remove, Show };

struct HostOptions {
    std::string pluginPath; // empty: KelvoDyn.dll beside kdhost.exe
    OutputFormat format = OutputFormat::Table;
    bool watch = false;
    unsigned intervalMs = 1000;
    double durationSeconds = 0; // 0: until Ctrl+C
    std::string logPath;        // empty: no log
    bool diagnose = false;
    bool serve = false;
    ListenAddress listen; // with serve
    bool checkSettings = false;
    std::string settingsPath; // with checkSettings; empty: the one beside the plug-in
    AutostartAction autostart = AutostartAction::None; // Install takes the serve options
    bool help = false;
    bool version = false;
};

// Parses argv; on a bad argument returns nullopt and sets error to a sentence for the user.
std::optional<HostOptions> ParseHostOptions(const std::vector<std::string> &args,
                                            std::string &error);

std::string HostUsage();
