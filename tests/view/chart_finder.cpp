// Scans column by column for axes, then reads each plot's ticks and gridlines.
#include "chart_finder.h"

#include <algorithm>

std::vector<FoundChart> FindCharts(const Pixels &pixels, uint32_t axisColour, uint32_t gridColour,
                                   int minAxis) {
    std::vector<FoundChart> charts;
    for (int x = 2; x < pixels.width; ++x) {
        for (int y = 0; y < pixels.height;) {
            if (pixels.At(x, y) != axisColour) {
                ++y;
                continue;
            }
            int top = y;
            while (y < pixels.height && pixels.At(x, y) == axisColour) {
                ++y;
            }
            if (y - top < minAxis) {
                continue;
            }
            FoundChart chart;
            chart.axisX = x;
            chart.axisTop = top;
            chart.axisBottom = y - 1;
            for (int row = top; row < y; ++row) {
                if (pixels.At(x - 2, row) == axisColour) {
                    chart.ticks.push_back(row);
                }
            }
            // The gridlines end where the card does: the widest run of
            // gridline colour, with what lies over it, on any tick row.
            chart.gridlinesAcross = !chart.ticks.empty();
            for (int row : chart.ticks) {
                int end = x + 1, covered = 0;
                for (int column = x + 1; column < pixels.width; ++column) {
                    uint32_t pixel = pixels.At(column, row);
                    if (pixel == gridColour) {
                        end = column + 1;
                        ++covered;
                    } else if (column - end > 12) {
                        break; // a gap this wide is past the plot's end
                    }
                }
                chart.plotRight = std::max(chart.plotRight, end);
                chart.gridlinesAcross = chart.gridlinesAcross && covered > (end - x) / 2;
            }
            charts.push_back(chart);
        }
    }
    std::sort(charts.begin(), charts.end(), [](const FoundChart &a, const FoundChart &b) {
        return a.axisTop != b.axisTop ? a.axisTop < b.axisTop : a.axisX < b.axisX;
    });
    return charts;
}

ColourRows RowsOfColour(const Pixels &pixels, const FoundChart &chart, uint32_t colour) {
    ColourRows rows;
    if (chart.ticks.empty()) {
        return rows;
    }
    for (int y = chart.ticks.front(); y <= chart.ticks.back(); ++y) {
        for (int x = chart.axisX + 1; x < chart.plotRight; ++x) {
            if (pixels.At(x, y) == colour) {
                rows.top = rows.count == 0 ? y : rows.top;
                rows.bottom = y;
                ++rows.count;
            }
        }
    }
    return rows;
}

std::vector<int> RowsCoveredBy(const Pixels &pixels, uint32_t colour, double share) {
    std::vector<int> rows;
    for (int y = 0; y < pixels.height; ++y) {
        int covered = 0;
        for (int x = 0; x < pixels.width; ++x) {
            covered += pixels.At(x, y) == colour;
        }
        if (covered >= share * pixels.width) {
            rows.push_back(y);
        }
    }
    return rows;
}
