// Loads a plug-in as a monitoring host does: the loader, by full path, then
// the three exports by name, called with the C calling convention.
#pragma once

#include <windows.h>

#include <string>

#include "source_interface/kelvodyn.h"

struct LoadedPlugin {
    std::string path; // the full path that was loaded
    HMODULE module = nullptr;
    GetSourcesNumFn sourcesNum = nullptr;
    GetSourceDescFn sourceDesc = nullptr;
    GetSourceDataFn sourceData = nullptr;
};

// The running program's own file as the system names it, however long; ""
// when the system does not say.
std::wstring ModulePath();

// KelvoDyn.dll in the folder of the running program, as a full path. False
// with a sentence when that folder cannot be named: nothing is searched for.
bool DefaultPluginPath(std::string &path, std::string &error);
// The same for a program at programPath (as GetModuleFileNameW names it, with
// or without "\\?\"): the plain path (UTF-8) of KelvoDyn.dll beside it.
bool PluginBeside(const std::wstring &programPath, std::string &path, std::string &error);

// The plug-in at path, or with an empty path the one beside the program
// (DefaultPluginPath); false with a sentence as LoadPlugin's.
bool LoadGivenOrDefaultPlugin(const std::string &path, LoadedPlugin &plugin, std::string &error);

// False with a sentence naming the file and what is wrong (the load error, or
// every missing export) when the plug-in cannot serve a host.
bool LoadPlugin(const std::string &path, LoadedPlugin &plugin, std::string &error);

void UnloadPlugin(LoadedPlugin &plugin);
