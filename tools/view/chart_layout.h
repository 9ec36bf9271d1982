// Where things go in kdview's window: the grid of charts, reflowed from the
// window's size, and the parts of one chart. Plain arithmetic on pixels, no
// drawing, so it can be checked without a window.
#pragma once

#include <cstddef>
#include <vector>

// A rectangle of pixels; right and bottom are one past the last pixel.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const {
        return right - left;
    }
    int Height() const {
        return bottom - top;
    }
};

// A chart narrower than this takes a column away.
constexpr int kMinChartWidth = 300;

struct ChartGrid {
    int columns = 0;
    int rows = 0;
    std::vector<PixelRect> cells; // one per chart, row by row
};

// count charts in the area, as many columns as the width gives room for (at
// least one, at most count), then as many rows as they need, sharing the
// area's height.
ChartGrid LayOutGrid(const PixelRect &area, size_t count);

// Heights and widths of text, measured by whoever draws it.
struct ChartTextSizes {
    int nameHeight = 0;
    int valueHeight = 0;
    int labelHeight = 0; // a gridline's label, its whole line
    int labelWidth = 0;  // the widest label of this chart
    int captionHeight = 0;
    int valueWidth = 0; // the value and unit as drawn large
    int noteWidth = 0;  // the note that the scale is extended; 0: none
};

struct ChartParts {
    PixelRect card;         // the chart's own background
    PixelRect name;         // the source's name
    PixelRect value;        // its value and unit, large
    PixelRect plot;         // the history: the top row is scaleMax, the bottom row scaleMin
    PixelRect caption;      // under the plot: the time axis' labels
    PixelRect note;         // right of the value: the scale is extended
    bool noteShown = false; // there is a note and it clears the value
    int tickLeft = 0;       // gridline ticks run from here to the plot's left edge
    int labelRight = 0;     // gridline labels end here
    bool plotShown = false; // the cell has room for a plot
};

ChartParts LayOutChart(const PixelRect &cell, const ChartTextSizes &text);

// Where a time label width pixels wide goes: centred under its tick at x,
// moved sideways as little as keeps it inside the caption.
PixelRect TimeLabelBox(const PixelRect &caption, int x, int width);
