// Picks the range a history is drawn on; kdhost's sparklines and kdview's
// charts use the same one.
#include "drawn_range.h"

#include <algorithm>
#include <cmath>

#include "source_snapshot.h"

bool Drawable(float value) {
    return HasReading(value) && std::isfinite(value);
}

DrawnRange RangeToDraw(const std::deque<float> &values, float scaleMin, float scaleMax) {
    DrawnRange range;
    if (std::isfinite(scaleMin) && std::isfinite(scaleMax) && scaleMax > scaleMin) {
        range.low = scaleMin;
        range.high = scaleMax;
        range.ownScale = true;
        return range;
    }
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
