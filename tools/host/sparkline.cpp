// Eight bar heights, U+2581 to U+2588, written as UTF-8.
#include "sparkline.h"

#include <algorithm>
#include <cmath>

#include "drawn_range.h"
#include "live_view_state.h"

namespace {

const char *const kBars[] = {"\u2581", "\u2582", "\u2583", "\u2584",
                             "\u2585", "\u2586", "\u2587", "\u2588"};
constexpr int kLevels = 8;

} // namespace

std::string Sparkline(const std::deque<float> &values, const SourceReading &source, size_t width) {
    DrawnRange range = RangeToDraw(source, values);
    size_t shown = std::min(values.size(), width);
    std::string line(width - shown, ' ');
    for (size_t i = values.size() - shown; i < values.size(); ++i) {
        float value = values[i];
        if (!Drawable(value)) {
            line += ' ';
            continue;
        }
        double share = (double(value) - range.low) / (range.high - range.low);
        int level = int(std::floor(share * kLevels));
        line += kBars[std::clamp(level, 0, kLevels - 1)];
    }
    return line;
}

std::vector<std::string> RowSparklines(const LiveViewState &state, size_t width) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < state.rows.size(); ++i) {
        lines.push_back(Sparkline(RowHistory(state, i), state.rows[i], width));
    }
    return lines;
}

std::vector<DrawnRange> RowRanges(const LiveViewState &state) {
    std::vector<DrawnRange> ranges;
    for (size_t i = 0; i < state.rows.size(); ++i) {
        ranges.push_back(RangeToDraw(state.rows[i], RowHistory(state, i)));
    }
    return ranges;
}
