// Picks the range a history is drawn on; kdhost's sparklines and kdview's
// charts use the same one.
#include "drawn_range.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kOwnRangeDivisions = 4;

int ScaleDivisions(float divisions) {
    if (std::isfinite(divisions) && divisions >= 1 && divisions <= kMaxDrawnDivisions) {
        return int(std::lround(divisions));
    }
    return 1; // only the scale's ends
}

// Whole divisions of size step that reach past from its edge, or more than
// kMaxDrawnDivisions when that is what it takes.
int DivisionsToHold(double past, double step) {
    // A hair of rounding must not add a division a value exactly on a gridline needs not.
    double needed = std::ceil(past / step - 1e-9);
    return needed > kMaxDrawnDivisions ? kMaxDrawnDivisions + 1 : std::max(0, int(needed));
}

DrawnRange OwnRange(const std::deque<float> &values, float scaleMin) {
    DrawnRange range;
    range.divisions = kOwnRangeDivisions;
    bool any = false;
    for (float value : values) {
        if (Drawable(value)) {
            range.low = any ? std::min(range.low, double(value)) : value;
            range.high = any ? std::max(range.high, double(value)) : value;
            any = true;
        }
    }
    if (!any) {
        range.low = std::isfinite(scaleMin) ? scaleMin : 0;
    }
    if (!any || !(range.high > range.low)) {
        // All values equal (or none): a span of 1, or more where 1 would vanish.
        range.high = range.low + std::max(1.0, std::fabs(range.low) * 1e-6);
    }
    return range;
}

} // namespace

bool Drawable(float value) {
    return HasReading(value) && std::isfinite(value);
}

bool Extended(const DrawnRange &range) {
    return range.addedBelow > 0 || range.addedAbove > 0;
}

double PlausibleBound(const SourceReading &source) {
    switch (source.group) {
    case SourceGroup::Temperature:
        return !source.units.empty() && source.units.back() == 'F' ? 572.0 : 300.0;
    case SourceGroup::Fan:
        return 15000.0;
    default:
        return std::numeric_limits<double>::infinity();
    }
}

DrawnRange RangeToDraw(const SourceReading &source, const std::deque<float> &values) {
    const float scaleMin = source.scaleMin, scaleMax = source.scaleMax;
    if (!(std::isfinite(scaleMin) && std::isfinite(scaleMax) && scaleMax > scaleMin)) {
        return OwnRange(values, scaleMin);
    }
    DrawnRange range;
    range.ownScale = true;
    range.divisions = ScaleDivisions(source.scaleDivisions);
    const double step = (double(scaleMax) - scaleMin) / range.divisions;
    const double bound = PlausibleBound(source);
    double lowest = scaleMin, highest = scaleMax;
    for (float value : values) {
        if (Drawable(value) && std::fabs(value) <= bound) {
            lowest = std::min(lowest, double(value));
            highest = std::max(highest, double(value));
        }
    }
    // Above first: a reading past the top is the one that matters when both
    // cannot be held.
    int above = DivisionsToHold(highest - scaleMax, step);
    range.addedAbove = range.divisions + above <= kMaxDrawnDivisions ? above : 0;
    int below = DivisionsToHold(scaleMin - lowest, step);
    range.addedBelow = range.divisions + range.addedAbove + below <= kMaxDrawnDivisions ? below : 0;
    range.low = scaleMin - step * range.addedBelow;
    range.high = scaleMax + step * range.addedAbove;
    range.divisions += range.addedBelow + range.addedAbove;
    return range;
}
