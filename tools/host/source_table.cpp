// Column layout by display width, so multi-byte UTF-8 names and units line up.
#include "source_table.h"

#include <algorithm>

#include "number_text.h"
#include "text_output.h"

namespace {

enum class Align { Left, Right };

struct Column {
    const char *title;
    Align align;
};

std::string Pad(const std::string &text, size_t width, Align align) {
    size_t shown = DisplayWidth(text);
    std::string fill(width > shown ? width - shown : 0, ' ');
    return align == Align::Left ? text + fill : fill + text;
}

std::string NameText(const SourceReading &reading) {
    if (!reading.described) {
        return "(no descriptor)";
    }
    return reading.name.empty() ? "(empty name)" : reading.name;
}

std::vector<std::string> Cells(const SourceReading &reading) {
    bool shown = HasReading(reading.value);
    return {std::to_string(reading.index),
            GroupName(reading.group),
            NameText(reading),
            ValueText(reading),
            shown ? reading.units : "",
            ShortestFloat(reading.scaleMin),
            ShortestFloat(reading.scaleMax),
            ShortestFloat(reading.scaleDivisions)};
}

} // namespace

std::vector<std::string> SourceTableLines(const std::vector<SourceReading> &sources,
                                          const std::vector<std::string> &sparklines,
                                          TableShape shape) {
    std::vector<Column> columns = {{"#", Align::Right},   {"group", Align::Left},
                                   {"name", Align::Left}, {"value", Align::Right},
                                   {"unit", Align::Left}, {"min", Align::Right},
                                   {"max", Align::Right}, {"div", Align::Right}};
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 0; i < sources.size(); ++i) {
        rows.push_back(Cells(sources[i]));
    }
    if (!sparklines.empty()) {
        const size_t at = 5; // after the unit, before the scale it is drawn on
        columns.insert(columns.begin() + at, {"recent", Align::Left});
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i].insert(rows[i].begin() + at, i < sparklines.size() ? sparklines[i] : "");
        }
    }
    for (size_t c = columns.size(); c-- > 0;) {
        std::string title = columns[c].title;
        bool scaleColumn = title == "min" || title == "max" || title == "div";
        if ((!shape.group && title == "group") || (!shape.scale && scaleColumn)) {
            columns.erase(columns.begin() + c);
            for (auto &row : rows) {
                row.erase(row.begin() + c);
            }
        }
    }
    std::vector<size_t> widths;
    for (const Column &column : columns) {
        widths.push_back(DisplayWidth(column.title));
    }
    for (const auto &row : rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], DisplayWidth(row[c]));
        }
    }
    auto line = [&](const std::vector<std::string> &cells) {
        std::string text;
        for (size_t c = 0; c < cells.size(); ++c) {
            text += (c == 0 ? "" : "  ") + Pad(cells[c], widths[c], columns[c].align);
        }
        return text.erase(text.find_last_not_of(' ') + 1);
    };
    std::vector<std::string> titles;
    for (const Column &column : columns) {
        titles.push_back(column.title);
    }
    std::vector<std::string> lines = {line(titles)};
    for (const auto &row : rows) {
        lines.push_back(line(row));
    }
    return lines;
}
