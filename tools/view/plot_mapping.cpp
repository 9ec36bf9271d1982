// The plot's arithmetic. Rows count down the screen, so a larger value has a
// smaller row; everything is rounded once, from the plot's own edges.
#include "plot_mapping.h"

#include <algorithm>
#include <cmath>

#include "drawn_range.h"

namespace {

int RoundToInt(double value) {
    return int(std::lround(value));
}

} // namespace

std::vector<int> GridlineRows(const PixelRect &plot, int divisions) {
    std::vector<int> rows;
    const int bottom = plot.bottom - 1, span = plot.Height() - 1;
    for (int i = 0; i <= divisions; ++i) {
        rows.push_back(bottom - RoundToInt(double(span) * i / divisions));
    }
    return rows;
}

double GridlineValue(const DrawnRange &scale, int i) {
    return scale.low + (scale.high - scale.low) * i / scale.divisions;
}

std::vector<bool> LabelledGridlines(const std::vector<int> &rows, int labelHeight) {
    std::vector<bool> labelled(rows.size(), false);
    if (rows.empty()) {
        return labelled;
    }
    int spacing = rows.size() > 1 ? std::max(1, rows.front() - rows.back()) / int(rows.size() - 1)
                                  : labelHeight;
    size_t step = size_t(std::max(1, (labelHeight + spacing - 1) / std::max(1, spacing)));
    for (size_t i = 0; i < rows.size(); i += step) {
        labelled[i] = true;
    }
    // The top label always: the scale's maximum matters most after its
    // minimum. A label below it that sits too close gives way.
    size_t last = (rows.size() - 1) / step * step;
    if (last != rows.size() - 1) {
        labelled.back() = true;
        if (last > 0 && rows[last] - rows.back() < labelHeight) {
            labelled[last] = false;
        }
    }
    return labelled;
}

PlotRow ValueRow(double value, const DrawnRange &scale, const PixelRect &plot) {
    PlotRow row;
    if (value > scale.high) {
        row.clip = Clip::Above;
        value = scale.high;
    } else if (value < scale.low) {
        row.clip = Clip::Below;
        value = scale.low;
    }
    double share = (value - scale.low) / (scale.high - scale.low);
    row.y = plot.bottom - 1 - RoundToInt(share * (plot.Height() - 1));
    return row;
}

int SampleColumn(size_t age, size_t capacity, const PixelRect &plot) {
    const int right = plot.right - 1;
    if (capacity < 2) {
        return right;
    }
    return right - RoundToInt(double(plot.Width() - 1) * double(age) / double(capacity - 1));
}

HistoryTrace TraceHistory(const std::deque<float> &history, size_t capacity,
                          const DrawnRange &scale, const PixelRect &plot) {
    HistoryTrace trace;
    size_t shown = std::min(history.size(), capacity);
    std::vector<PlotPoint> run;
    Clip previous = Clip::None;
    PlotPoint previousPoint;
    auto endClip = [&](Clip now) {
        if (previous != Clip::None && now != previous) {
            trace.marks.push_back({previousPoint, previous});
        }
        previous = now;
    };
    for (size_t i = history.size() - shown; i < history.size(); ++i) {
        float value = history[i];
        if (!Drawable(value)) {
            endClip(Clip::None);
            if (!run.empty()) {
                trace.runs.push_back(run);
                run.clear();
            }
            continue;
        }
        PlotRow row = ValueRow(value, scale, plot);
        PlotPoint point{SampleColumn(history.size() - 1 - i, capacity, plot), row.y};
        endClip(row.clip);
        run.push_back(point);
        previousPoint = point;
    }
    endClip(Clip::None);
    if (!run.empty()) {
        trace.runs.push_back(run);
    }
    return trace;
}

TimeAxis TimeTicks(const PixelRect &plot, size_t capacity, unsigned intervalMs, int minSpacing) {
    TimeAxis axis;
    const double span = double(capacity < 2 ? 1 : capacity - 1) * intervalMs / 1000.0;
    const int columns = plot.Width() - 1;
    if (!(span > 0) || columns <= 0) {
        return axis;
    }
    const double pixelsPerSecond = columns / span;
    minSpacing = std::max(1, minSpacing); // never more ticks than columns
    static const double kSteps[] = {0.1, 0.2, 0.5, 1,   2,   5,   10,   15,  25,
                                    50,  60,  120, 300, 600, 900, 1800, 3600};
    axis.step = 0;
    for (double step : kSteps) {
        if (step * pixelsPerSecond >= minSpacing) {
            axis.step = step;
            break;
        }
    }
    if (axis.step == 0) {
        for (axis.step = 7200; axis.step * pixelsPerSecond < minSpacing; axis.step *= 2) {
        }
    }
    // Whole multiples of the step, so a hair of rounding keeps the last tick.
    for (long n = 0; n * axis.step <= span * (1 + 1e-9); ++n) {
        double seconds = n * axis.step;
        axis.ticks.push_back({plot.right - 1 - RoundToInt(seconds * pixelsPerSecond), seconds});
    }
    return axis;
}
