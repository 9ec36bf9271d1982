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

// The time a full plot's samples take, for the caption under it: "last 150 s",
// "last 4 min 10 s", "last 25 min".
std::string SpanCaption(size_t samples, unsigned intervalMs);

// The large value: "75.00 °C", "3500 RPM", or "no reading".
std::string ValueCaption(const SourceReading &source);
