// The words and numbers kdview draws or puts in its title, as UTF-8.
#pragma once

#include <cstddef>
#include <string>

#include "source_snapshot.h"

// "KelvoDyn: 5 sources", "KelvoDyn: 1 source".
std::string WindowTitle(size_t sources);

// A gridline's value: whole numbers as such ("25", "7000"), others with at
// most two decimals ("0.25", "3.33").
std::string GridlineLabel(double value);

// A label of the time axis, seconds before the newest sample, in the unit
// its ticks' step counts in: "now", "-50 s", "-1.5 s", "-4 min", "-2 h".
std::string TimeLabel(double seconds, double step);

// Says a chart is drawn past the source's own scale: "scale 0–150 extended".
std::string ExtendedNote(float scaleMin, float scaleMax);

// The large value: "75.00 °C", "3500 RPM", or "no reading".
std::string ValueCaption(const SourceReading &source);
