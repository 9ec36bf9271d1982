// The sources as table rows; the layout is the shared text table's.
#include "source_table.h"

#include "number_text.h"
#include "terminal_text.h"
#include "text_table.h"

namespace {

std::string NameText(const SourceReading &reading) {
    if (!reading.described) {
        return "(no descriptor)";
    }
    // Names come from the user's settings file: shown, never obeyed, by a terminal.
    return reading.name.empty() ? "(empty name)" : TerminalText(reading.name);
}

std::vector<std::string> Cells(const SourceReading &reading) {
    bool shown = HasReading(reading.value);
    return {std::to_string(reading.index),
            GroupName(reading.group),
            NameText(reading),
            ValueText(reading),
            shown ? TerminalText(reading.units) : "",
            ShortestFloat(reading.scaleMin),
            ShortestFloat(reading.scaleMax),
            ShortestFloat(reading.scaleDivisions)};
}

// The scale cells of a source drawn on an extended range.
void ShowExtended(std::vector<std::string> &cells, const DrawnRange &range) {
    if (!Extended(range)) {
        return;
    }
    const size_t min = 5, max = 6, div = 7;
    if (range.addedBelow > 0) {
        cells[min] = ShortestFloat(float(range.low)) + kExtendedMark;
    }
    if (range.addedAbove > 0) {
        cells[max] = ShortestFloat(float(range.high)) + kExtendedMark;
    }
    cells[div] = std::to_string(range.divisions) + kExtendedMark;
}

} // namespace

std::vector<std::string> SourceTableLines(const std::vector<SourceReading> &sources,
                                          const std::vector<std::string> &sparklines,
                                          TableShape shape, const std::vector<DrawnRange> &drawn) {
    std::vector<TableColumn> columns = {{"#", Align::Right},   {"group", Align::Left},
                                        {"name", Align::Left}, {"value", Align::Right},
                                        {"unit", Align::Left}, {"min", Align::Right},
                                        {"max", Align::Right}, {"div", Align::Right}};
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 0; i < sources.size(); ++i) {
        rows.push_back(Cells(sources[i]));
        if (i < drawn.size()) {
            ShowExtended(rows.back(), drawn[i]);
        }
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
    return TableLines(columns, rows);
}
