// The range a source's recent values are drawn on: the source's own scale
// (scaleMin to scaleMax) as a monitoring host draws it, extended by whole
// divisions to hold the readings past it, or the values' own range.
#pragma once

#include <deque>

#include "source_snapshot.h"

struct DrawnRange {
    double low = 0;
    double high = 1;
    int divisions = 1;     // equal intervals between low and high
    bool ownScale = false; // the source's scale, not the values' own range
    // Divisions added below scaleMin and above scaleMax to hold readings past
    // them; the source's scale itself is what lies between.
    int addedBelow = 0;
    int addedAbove = 0;
};

// The range reaches past the source's own scale.
bool Extended(const DrawnRange &range);

// A drawn range holds at most this many divisions.
constexpr int kMaxDrawnDivisions = 50;

// A value that can be drawn: a reading, and a finite one.
bool Drawable(float value);

// The largest magnitude a reading of this source can have: the plug-in drops
// temperatures past 300 degrees Celsius (572 Fahrenheit) and fans past 15000
// RPM. A source of neither group has no known bound (infinity).
double PlausibleBound(const SourceReading &source);

// With a usable scale (finite, max above min): that scale in the source's
// divisions (rounded; 1 where they are no count up to kMaxDrawnDivisions),
// extended by as many divisions of the same size as the drawable values
// within PlausibleBound need, on each side, while the whole stays within
// kMaxDrawnDivisions; a value that would need more is left past the edge.
// Otherwise the lowest and highest drawable value in four divisions, widened
// when they are equal or there is none, so high is always above low.
DrawnRange RangeToDraw(const SourceReading &source, const std::deque<float> &values);
