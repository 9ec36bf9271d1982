// The lines of one --watch frame fitted to the width of the screen: the status
// line, the reason when there are no sources, and the table with sparklines.
#pragma once

#include <string>
#include <vector>

#include "live_view_state.h"

// Sparklines are drawn this wide where there is room, and as narrow as this
// before the table gives up columns.
constexpr size_t kWidestSparkline = 24;
constexpr size_t kNarrowestSparkline = 8;

struct WatchFrameText {
    std::vector<std::string> status; // pieces of the status line, in order
    std::string note;                // a sentence above the table, or ""
};

// The frame with every line at most width characters (0: no limit, as on a
// pipe) where its content allows: status pieces that do not fit go on a line
// of their own, the note is wrapped, and the table first narrows its
// sparklines, then leaves out the scale columns, then the group column, and
// last the sparklines. No line is cut here; one that still does not fit is
// left to the console.
std::vector<std::string> WatchFrameLines(const WatchFrameText &text, const LiveViewState &state,
                                         size_t width);
