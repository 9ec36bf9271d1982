// From a source's values to pixels in its plot: the scale and its gridlines,
// the row of a value (clipped at the plot's edges), and the history as runs
// of points broken where there was no reading.
#pragma once

#include <cstddef>
#include <deque>
#include <vector>

#include "chart_layout.h"
#include "source_snapshot.h"

struct ChartScale {
    double low = 0;
    double high = 1;
    int divisions = 1; // equal intervals between low and high
};

// The source's scale (scaleMin to scaleMax in scaleDivisions intervals) when
// it is usable; otherwise the values' own range in four intervals.
ChartScale ScaleOf(const SourceReading &source, const std::deque<float> &history);

// The row of each gridline, from low (the plot's bottom row) to high (its top row).
std::vector<int> GridlineRows(const PixelRect &plot, int divisions);

// The value of gridline i.
double GridlineValue(const ChartScale &scale, int i);

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
PlotRow ValueRow(double value, const ChartScale &scale, const PixelRect &plot);

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
                          const ChartScale &scale, const PixelRect &plot);
