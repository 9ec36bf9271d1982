// Why the plug-in would show nothing, decided from a copy of the shared block
// by the plug-in's own rules, in the order it applies them.
#pragma once

#include <string>

#include "block_copy.h"

enum class Finding {
    NoBlock,          // no object of that name
    CannotOpen,       // it exists but cannot be opened or mapped for reading
    TooShort,         // the view, or the size the block declares, is below 402 bytes
    WrongVersion,     // version is not 1
    TooManyReadings,  // a count above 32
    Stopped,          // bit 0 of flags clear and the window named in hwnd gone
    NotPublishing,    // bit 0 of flags clear, the window alive (or none named yet)
    WindowGone,       // hwnd names no existing window
    NothingPublished, // live, with no temperatures and no fans
    Live,             // live, with sources (the last finding)
};

// How many findings there are: every one from NoBlock to Live.
constexpr int kFindingCount = int(Finding::Live) + 1;

struct Diagnosis {
    Finding finding;
    std::string sentence; // for the user, in plain words
};

Diagnosis DiagnoseBlock(const BlockCopy &copy);

// A short fixed word per finding, for scripts ("live", "window-gone", ...).
const char *FindingName(Finding finding);
