// The range a source's recent values are drawn on: the source's own scale
// (scaleMin to scaleMax) as a monitoring host draws it, or the values' own.
#pragma once

#include <deque>

struct DrawnRange {
    double low = 0;
    double high = 1;
    bool ownScale = false; // the source's scale, not the values' own range
};

// A value that can be drawn: a reading, and a finite one.
bool Drawable(float value);

// The source's scale when it is usable (finite, max above min); otherwise the
// lowest and highest drawable value, widened when they are equal or there is
// none, so high is always above low.
DrawnRange RangeToDraw(const std::deque<float> &values, float scaleMin, float scaleMax);
