// Aligned text tables for people: columns padded by display width, so
// multi-byte UTF-8 names and units line up; kdhost's sources, kdmonitor's sensors.
#pragma once

#include <string>
#include <vector>

enum class Align { Left, Right };

struct TableColumn {
    const char *title;
    Align align;
};

// A header line of the titles, then one line per row (each with a cell per
// column); columns two spaces apart, no trailing spaces, no line ends.
std::vector<std::string> TableLines(const std::vector<TableColumn> &columns,
                                    const std::vector<std::vector<std::string>> &rows);
