// Eight bar heights, U+2581 to U+2588, written as UTF-8.
#include "sparkline.h"

#include <algorithm>
#include <cmath>

#include "source_snapshot.h"

namespace {

const char *const kBars[] = {"\u2581", "\u2582", "\u2583", "\u2584",
                             "\u2585", "\u2586", "\u2587", "\u2588"};
constexpr int kLevels = 8;

bool Drawable(float value) {
    return HasReading(value) && std::isfinite(value);
}

// The lowest and highest drawable value; false when there is none or they are equal.
bool OwnRange(const std::deque<float> &values, float &low, float &high) {
    bool any = false;
    for (float value : values) {
        if (Drawable(value)) {
            low = any ? std::min(low, value) : value;
            high = any ? std::max(high, value) : value;
            any = true;
        }
    }
    return any && high > low;
}

} // namespace

std::string Sparkline(const std::deque<float> &values, float scaleMin, float scaleMax,
                      size_t width) {
    float low = scaleMin;
    float high = scaleMax;
    bool scaled = std::isfinite(low) && std::isfinite(high) && high > low;
    if (!scaled && !OwnRange(values, low, high)) {
        high = low + 1; // all values equal (or none): every bar at the bottom
    }
    size_t shown = std::min(values.size(), width);
    std::string line(width - shown, ' ');
    for (size_t i = values.size() - shown; i < values.size(); ++i) {
        float value = values[i];
        if (!Drawable(value)) {
            line += ' ';
            continue;
        }
        double share = (double(value) - low) / (double(high) - low);
        int level = int(std::floor(share * kLevels));
        line += kBars[std::clamp(level, 0, kLevels - 1)];
    }
    return line;
}
