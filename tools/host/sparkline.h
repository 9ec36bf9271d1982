// A source's recent values as a row of block characters, drawn on the
// source's own scale (scaleMin to scaleMax) as a monitoring host draws its graph.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "watch_state.h"

// One character per value, oldest first, right-aligned in width characters
// (the newest at the right edge). A missing reading leaves a blank. Values
// past the scale sit at its edge. With no usable scale (max not above min)
// the values are drawn between their own lowest and highest.
std::string Sparkline(const std::deque<float> &values, float scaleMin, float scaleMax,
                      size_t width);

// The sparkline of each row a watch shows, on that row's own scale.
std::vector<std::string> RowSparklines(const WatchState &state, size_t width);
