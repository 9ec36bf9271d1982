// The plot's arithmetic. Rows count down the screen, so a larger value has a
// smaller row; everything is rounded once, from the plot's own edges.
#include "plot_mapping.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "drawn_range.h"

// The plot's rounding is the same on every build: no product is held in a
// wider register than its type (SSE arithmetic on 32-bit x86 too).
static_assert(FLT_EVAL_METHOD == 0, "floating-point arithmetic must be done in the types' own precision");

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

// In whole milliseconds: a step that puts ticks exactly minSpacing apart (a
// half hour over 150 minutes on 300 columns) is then found by an exact
// comparison, whatever precision a floating-point product would be held in.
TimeAxis TimeTicks(const PixelRect &plot, size_t capacity, unsigned intervalMs, int minSpacing) {
    TimeAxis axis;
    const uint64_t spanMs = uint64_t(capacity < 2 ? 1 : capacity - 1) * intervalMs;
    const int columns = plot.Width() - 1;
    if (spanMs == 0 || columns <= 0) {
        return axis;
    }
    minSpacing = std::max(1, minSpacing); // never more ticks than columns
    // Far enough apart: stepMs / spanMs * columns >= minSpacing.
    auto wideEnough = [&](uint64_t stepMs) {
        uint64_t covered, needed;
        return __builtin_mul_overflow(stepMs, uint64_t(columns), &covered) ||
               (!__builtin_mul_overflow(spanMs, uint64_t(minSpacing), &needed) && covered >= needed);
    };
    static const uint64_t kStepsMs[] = {100,    200,    500,    1000,   2000,    5000,
                                        10000,  15000,  25000,  50000,  60000,   120000,
                                        300000, 600000, 900000, 1800000, 3600000};
    uint64_t stepMs = 0;
    for (uint64_t step : kStepsMs) {
        if (wideEnough(step)) {
            stepMs = step;
            break;
        }
    }
    if (stepMs == 0) {
        for (stepMs = 7200000; !wideEnough(stepMs); stepMs *= 2) {
        }
    }
    axis.step = double(stepMs) / 1000;
    for (uint64_t atMs = 0;; atMs += stepMs) {
        // Rounded to the nearest column, halves away from now.
        const uint64_t back = (2 * atMs * uint64_t(columns) + spanMs) / (2 * spanMs);
        axis.ticks.push_back({plot.right - 1 - int(back), double(atMs) / 1000});
        if (spanMs - atMs < stepMs) {
            break; // the next tick would be past the oldest sample
        }
    }
    return axis;
}
