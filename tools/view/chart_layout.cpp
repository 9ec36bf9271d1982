// The grid reflows from the width first: narrow windows get fewer columns,
// and the rows share whatever height there is.
#include "chart_layout.h"

#include <algorithm>

namespace {

constexpr int kCardGap = 8;  // between two cards, and around the grid
constexpr int kPadding = 10; // inside a card
constexpr int kTickLength = 4;
constexpr int kLabelGap = 3; // between a label and its tick
constexpr int kMinPlotHeight = 30, kMinPlotWidth = 40;
constexpr int kNoteGap = 12; // at least, between the value and the note
constexpr int kTimeTickLength = 3;

} // namespace

ChartGrid LayOutGrid(const PixelRect &area, size_t count) {
    ChartGrid grid;
    if (count == 0 || area.Width() <= 0 || area.Height() <= 0) {
        return grid;
    }
    int fit = std::max(1, area.Width() / kMinChartWidth);
    grid.columns = int(std::min<size_t>(size_t(fit), count));
    grid.rows = int((count + size_t(grid.columns) - 1) / size_t(grid.columns));
    for (size_t i = 0; i < count; ++i) {
        int column = int(i % size_t(grid.columns)), row = int(i / size_t(grid.columns));
        PixelRect cell;
        // Edges from shares of the whole, so leftover pixels spread over the cells.
        cell.left = area.left + area.Width() * column / grid.columns;
        cell.right = area.left + area.Width() * (column + 1) / grid.columns;
        cell.top = area.top + area.Height() * row / grid.rows;
        cell.bottom = area.top + area.Height() * (row + 1) / grid.rows;
        grid.cells.push_back(cell);
    }
    return grid;
}

ChartParts LayOutChart(const PixelRect &cell, const ChartTextSizes &text) {
    ChartParts parts;
    const int half = kCardGap / 2;
    parts.card = {cell.left + half, cell.top + half, cell.right - half, cell.bottom - half};
    const int innerLeft = parts.card.left + kPadding, innerRight = parts.card.right - kPadding;
    parts.name = {innerLeft, parts.card.top + kPadding, innerRight,
                  parts.card.top + kPadding + text.nameHeight};
    parts.value = {innerLeft, parts.name.bottom, innerRight, parts.name.bottom + text.valueHeight};

    // The top and bottom labels are centred on the plot's edges: half of
    // each reaches past the plot.
    const int labelHalf = (text.labelHeight + 1) / 2;
    parts.labelRight = innerLeft + text.labelWidth;
    parts.tickLeft = parts.labelRight + kLabelGap;
    parts.plot.left = parts.tickLeft + kTickLength;
    parts.plot.right = innerRight - 4;
    parts.plot.top = parts.value.bottom + kPadding / 2 + labelHalf;
    parts.caption.bottom = parts.card.bottom - kPadding / 2;
    parts.caption.top = parts.caption.bottom - text.captionHeight;
    // The time ticks hang from the plot's bottom row into the gap above the caption.
    parts.plot.bottom =
        std::min(parts.caption.top - kTimeTickLength, parts.card.bottom - labelHalf);
    parts.caption.left = parts.plot.left;
    parts.caption.right = innerRight;
    // The note sits on the value's baseline row, at the right.
    parts.note = {innerRight - text.noteWidth, parts.value.bottom - text.captionHeight, innerRight,
                  parts.value.bottom};
    parts.noteShown =
        text.noteWidth > 0 && innerLeft + text.valueWidth + kNoteGap <= parts.note.left;
    parts.plotShown = parts.plot.Height() >= kMinPlotHeight && parts.plot.Width() >= kMinPlotWidth;
    return parts;
}

PixelRect TimeLabelBox(const PixelRect &caption, int x, int width) {
    int left =
        std::clamp(x - width / 2, caption.left, std::max(caption.left, caption.right - width));
    return {left, caption.top, left + width, caption.bottom};
}
