// The sources as an aligned text table for people: index, group, name, value
// and unit, optionally a sparkline of recent values, and the scale numbers.
#pragma once

#include <string>
#include <vector>

#include "drawn_range.h"
#include "source_snapshot.h"

// Which of the columns a narrow screen can do without a table has.
struct TableShape {
    bool group = true; // the group column (the unit says the same)
    bool scale = true; // min, max and div
};

// Marks a scale number of a range extended past the source's own scale.
constexpr const char *kExtendedMark = "*";

// One line per source after a header line; no line ends. When sparklines is
// not empty it holds one per source and adds the "recent" column. When drawn
// is not empty it holds the range each source's sparkline is drawn on, and a
// range extended past the source's scale shows in min, max and div, each
// number that differs from the source's marked with kExtendedMark.
std::vector<std::string> SourceTableLines(const std::vector<SourceReading> &sources,
                                          const std::vector<std::string> &sparklines,
                                          TableShape shape = {},
                                          const std::vector<DrawnRange> &drawn = {});
