// Column widths from the widest cell, by the characters a terminal shows.
#include "text_table.h"

#include <algorithm>

#include "text_output.h"

namespace {

std::string Pad(const std::string &text, size_t width, Align align) {
    size_t shown = DisplayWidth(text);
    std::string fill(width > shown ? width - shown : 0, ' ');
    return align == Align::Left ? text + fill : fill + text;
}

} // namespace

std::vector<std::string> TableLines(const std::vector<TableColumn> &columns,
                                    const std::vector<std::vector<std::string>> &rows) {
    std::vector<size_t> widths;
    for (const TableColumn &column : columns) {
        widths.push_back(DisplayWidth(column.title));
    }
    for (const auto &row : rows) {
        for (size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], DisplayWidth(row[c]));
        }
    }
    auto line = [&](const std::vector<std::string> &cells) {
        std::string text;
        for (size_t c = 0; c < cells.size() && c < columns.size(); ++c) {
            text += (c == 0 ? "" : "  ") + Pad(cells[c], widths[c], columns[c].align);
        }
        return text.erase(text.find_last_not_of(' ') + 1);
    };
    std::vector<std::string> titles;
    for (const TableColumn &column : columns) {
        titles.push_back(column.title);
    }
    std::vector<std::string> lines = {line(titles)};
    for (const auto &row : rows) {
        lines.push_back(line(row));
    }
    return lines;
}
