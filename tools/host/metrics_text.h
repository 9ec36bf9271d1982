// The Prometheus text exposition format (version 0.0.4) of one snapshot: each
// reading in its base unit with the unit as suffix, identity in labels.
#pragma once

#include <string>

#include "source_snapshot.h"

constexpr char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";

// finding: the shared block's diagnosis as a fixed word ("live", "no-block", ...).
std::string MetricsText(const Snapshot &snapshot, const std::string &finding);

// A label value as the format asks: backslash, double quote and line feed escaped.
std::string LabelValue(const std::string &utf8);
