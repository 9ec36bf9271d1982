// kdview's one window: registered, created and run until it closes, reading
// the plug-in on a timer and drawing into its back buffer.
#pragma once

#include <string>

#include "plugin_loader.h"
#include "view_options.h"

// Samples a chart keeps: 150 intervals from the oldest to the newest, two and
// a half minutes at the default interval, so the time axis ends on a round -150 s.
constexpr size_t kHistoryLength = 151;

// Opens the window and runs its message loop; the exit code. Without a
// graphical session there is no window: kExitNoDisplay with a sentence in
// error. A snapshot that cannot be written: kExitFileFailed with a sentence.
int RunViewWindow(const LoadedPlugin &plugin, const ViewOptions &options, std::string &error);
