// What an unattended server is given: kdhost's serve options, limited to what
// makes sense for a server started at logon, and the same options written
// back as the arguments kdserve and its kdhost --serve are started with.
#pragma once

#include <string>
#include <vector>

#include "host_options.h"

// Empty when the options serve on a fixed port until stopped, with at most
// --plugin besides; otherwise a sentence saying what `who` ("--autostart
// install", "kdserve") needs instead.
std::string UnattendedServeProblem(const HostOptions &options, const std::string &who);

// "--serve 127.0.0.1:9876 --plugin C:\...\KelvoDyn.dll": the listen address in
// full and the plug-in as a full path (pluginPath, already resolved), so they
// mean the same from whatever folder they are started.
std::vector<std::string> ServeArguments(const ListenAddress &listen, const std::string &pluginPath);
