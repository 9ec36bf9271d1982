// 'kdhost --autostart install|remove|show': the server that starts at this
// user's logon, without a console window (kdserve.exe), and keeps serving.
#pragma once

#include <string>

#include "host_options.h"
#include "text_output.h"

// Prints what it did or found. The exit code: kExitOk when the server serves
// (remove: when nothing is left); kExitNo when it does not; kExitNoPlugin,
// kExitFileFailed, kExitAddressInUse or kExitAddressUnusable with a sentence
// in error when install refuses, before anything is changed.
int RunAutostart(const HostOptions &options, const TextStream &out, std::string &error);
