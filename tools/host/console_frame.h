// Redraws a block of lines in place on a console through the console API
// (cursor position and plain text), so no escape codes are needed anywhere.
#pragma once

#include <string>
#include <vector>

#include "text_output.h"

struct ConsoleFrame {
    size_t lines = 0; // rows the last frame took, just above the cursor
    size_t width = 0; // the width it was fitted to; 0 before the first frame
};

// Characters a line may hold on this console now without wrapping: one short
// of the window's width, as the console wraps a line that fills it.
size_t ConsoleLineWidth(const TextStream &console);

// Where the next frame goes, from the last one and the console as it is now.
struct RedrawPlan {
    int top = 0;           // the row the frame starts on
    int clearRows = 0;     // rows blanked from top before it is drawn
    size_t blankAfter = 0; // blank lines written after the frame's own
};

// The same width: over the last frame, which ends just above the cursor, with
// its rows beyond the new frame's blanked. A new width: a console may have
// rewrapped the last frame's rows, so where they are is no longer known; the
// window is cleared and the frame starts at its top.
RedrawPlan PlanRedraw(const ConsoleFrame &last, size_t width, size_t lines, int cursorRow,
                      int windowTop, int windowRows);

// The text of a frame: each line cut or padded to exactly width code points,
// then blank lines of that width, each line ended.
std::string FrameText(const std::vector<std::string> &lines, size_t width, size_t blankAfter);

// Draws lines over the previous frame, each fitted to width: the
// ConsoleLineWidth the lines were laid out for.
void RedrawFrame(const TextStream &console, ConsoleFrame &frame,
                 const std::vector<std::string> &lines, size_t width);
