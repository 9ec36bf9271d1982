// From a source's values to pixels in its plot: the scale and its gridlines,
// the row of a value (clipped at the plot's edges), and the history as runs
// of points broken where there was no reading.
#pragma once

#include <cstddef>
#include <deque>
#include <vector>

#include "chart_layout.h"
#include "drawn_range.h"

// The row of each gridline, from low (the plot's bottom row) to high (its top row).
std::vector<int> GridlineRows(const PixelRect &plot, int divisions);

// The value of gridline i.
double GridlineValue(const DrawnRange &scale, int i);

// Which gridlines get a label: all of them where they are at least labelHeight
// apart, otherwise every second, third ... from low up; always the top one.
std::vector<bool> LabelledGridlines(const std::vector<int> &rows, int labelHeight);

enum class Clip { None, Below, Above };

struct PlotRow {
    int y = 0;
    Clip clip = Clip::None;
};

// The row of value: low on the bottom row, high on the top row; a value past
// either is put on that edge and marked as clipped.
PlotRow ValueRow(double value, const DrawnRange &scale, const PixelRect &plot);

// The column of the sample age steps before the newest, of a history that can
// hold capacity samples across the plot: the newest on the right edge.
int SampleColumn(size_t age, size_t capacity, const PixelRect &plot);

struct PlotPoint {
    int x = 0, y = 0;
};

// A clipped stretch of the history: its newest sample, on the edge it passed.
struct ClipMark {
    PlotPoint at;
    Clip clip = Clip::Above;
};

struct HistoryTrace {
    std::vector<std::vector<PlotPoint>> runs; // each drawn as one line; a gap between
    std::vector<ClipMark> marks;
};

// The newest capacity samples of history (oldest first) in the plot. A sample
// that cannot be drawn (no reading, or not finite) ends a run.
HistoryTrace TraceHistory(const std::deque<float> &history, size_t capacity,
                          const DrawnRange &scale, const PixelRect &plot);

// The time axis under the plot: a tick every step seconds back from the
// newest sample on the right edge, as far as the plot reaches.
struct TimeTick {
    int x = 0;
    double seconds = 0; // before the newest sample
};
struct TimeAxis {
    double step = 0; // seconds between two ticks
    std::vector<TimeTick> ticks;
};

// The shortest step of a round length (0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 25,
// 50 s, 1, 2, 5, 10, 15, 30 min, 1 h and its doublings) that puts ticks at
// least minSpacing pixels apart, for a plot of capacity samples intervalMs apart.
TimeAxis TimeTicks(const PixelRect &plot, size_t capacity, unsigned intervalMs, int minSpacing);
