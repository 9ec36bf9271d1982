// Finds kdview's charts in a picture by what is drawn, not by where the code
// means to draw it: each plot's vertical axis, the ticks of its gridlines, and
// the pixels of a colour inside it.
#pragma once

#include <cstdint>
#include <vector>

#include "png_pixels.h"

struct FoundChart {
    int axisX = 0;   // the axis column; the plot starts right of it
    int axisTop = 0; // the axis' first and last row
    int axisBottom = 0;
    std::vector<int> ticks; // rows with a gridline tick left of the axis, top first
    int plotRight = 0;      // one past the last column of the gridlines
    // Each tick's gridline runs across the plot (where nothing covers it).
    bool gridlinesAcross = false;
};

// Every plot: an unbroken vertical run of at least minAxis pixels of
// axisColour, ticks of the same colour two columns left of it, gridlines of
// gridColour to the right. Row by row, then left to right.
std::vector<FoundChart> FindCharts(const Pixels &pixels, uint32_t axisColour, uint32_t gridColour,
                                   int minAxis = 30);

// The rows inside a chart's plot (right of the axis, between its first and
// last tick) that hold pixels of colour.
struct ColourRows {
    size_t count = 0;        // pixels
    int top = 0, bottom = 0; // first and last row with one; meaningful when count > 0
};
ColourRows RowsOfColour(const Pixels &pixels, const FoundChart &chart, uint32_t colour);

// Rows from the top, within [0, height), where colour covers at least
// share of the picture's width.
std::vector<int> RowsCoveredBy(const Pixels &pixels, uint32_t colour, double share);
