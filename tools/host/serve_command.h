// 'kdhost --serve': the plug-in's sources over HTTP until Ctrl+C or the duration.
#pragma once

#include "listen_address.h"
#include "plugin_loader.h"
#include "text_output.h"

struct ServeSettings {
    ListenAddress address;
    double durationSeconds = 0; // 0: until Ctrl+C
};

// Prints where it listens, serves, and says how many requests it answered.
// The exit code: kExitOk once stopped; kExitAddressInUse or kExitAddressUnusable
// with a sentence in error when it cannot listen.
int RunServe(const LoadedPlugin &plugin, const ServeSettings &settings, const TextStream &out,
             std::string &error);
