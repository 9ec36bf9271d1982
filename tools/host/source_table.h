// The sources as an aligned text table for people: index, group, name, value
// and unit, optionally a sparkline of recent values, and the scale numbers.
#pragma once

#include <string>
#include <vector>

#include "source_snapshot.h"

// Which of the columns a narrow screen can do without a table has.
struct TableShape {
    bool group = true; // the group column (the unit says the same)
    bool scale = true; // min, max and div
};

// One line per source after a header line; no line ends. When sparklines is
// not empty it holds one per source and adds the "recent" column.
std::vector<std::string> SourceTableLines(const std::vector<SourceReading> &sources,
                                          const std::vector<std::string> &sparklines,
                                          TableShape shape = {});
