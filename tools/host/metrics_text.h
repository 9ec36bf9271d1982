// The Prometheus text exposition format (version 0.0.4) of one snapshot: each
// reading in its base unit with the unit as suffix (degrees Fahrenheit are
// converted), identity in labels, and a series set that stays the same
// whatever the shared block shows.
#pragma once

#include <string>

#include "block_diagnosis.h"
#include "source_snapshot.h"

constexpr char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";

// finding: what the shared block shows, one series of kelvodyn_finding set to 1.
std::string MetricsText(const Snapshot &snapshot, Finding finding);

// Degrees Fahrenheit as degrees Celsius, to the hundredth ("45", "-17.78").
std::string CelsiusFromFahrenheit(float fahrenheit);

// A label value as the format asks: backslash, double quote and line feed escaped.
std::string LabelValue(const std::string &utf8);
