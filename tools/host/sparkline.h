// A source's recent values as a row of block characters, drawn on the
// source's own scale (scaleMin to scaleMax) as a monitoring host draws its graph.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "drawn_range.h"
#include "live_view_state.h"

// One character per value, oldest first, right-aligned in width characters
// (the newest at the right edge), on the range RangeToDraw gives: the
// source's scale, extended to hold readings past it. A missing reading leaves
// a blank; a value past the range sits at its edge.
std::string Sparkline(const std::deque<float> &values, const SourceReading &source, size_t width);

// The sparkline of each row a watch shows, on that row's own scale.
std::vector<std::string> RowSparklines(const LiveViewState &state, size_t width);

// The range each row's sparkline is drawn on.
std::vector<DrawnRange> RowRanges(const LiveViewState &state);
