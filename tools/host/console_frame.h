// Redraws a block of lines in place on a console through the console API
// (cursor position and plain text), so no escape codes are needed anywhere.
#pragma once

#include <string>
#include <vector>

#include "text_output.h"

struct ConsoleFrame {
    size_t lines = 0; // rows the last frame took, just above the cursor
};

// Characters a line may hold on this console now without wrapping: one short
// of the window's width, as the console wraps a line that fills it.
size_t ConsoleLineWidth(const TextStream &console);

// Draws lines over the previous frame: each cut to the window's width so none
// wraps, padded to clear what the last frame left, and rows the last frame
// had beyond these blanked.
void RedrawFrame(const TextStream &console, ConsoleFrame &frame,
                 const std::vector<std::string> &lines);
