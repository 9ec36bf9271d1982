// JSON with one source per line, so the output is also easy to read and grep;
// CSV quoted as RFC 4180 asks, since names come from a user's settings file.
#include "snapshot_json_csv.h"

#include <cmath>
#include <cstdio>

#include "csv_text.h"
#include "log_columns.h"
#include "module_header.h"
#include "number_text.h"

namespace {

std::string JsonString(const std::string &text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

// JSON has no infinities or NaN; a plug-in that returns one gets null as well.
std::string JsonNumber(float value) {
    return std::isfinite(value) ? ShortestFloat(value) : "null";
}

std::string JsonReading(const SourceReading &s) {
    return std::isfinite(s.value) ? ReadingNumber(s) : "null";
}

} // namespace

std::string SnapshotJson(const Snapshot &snapshot, const std::string &pluginPath) {
    std::string json = "{\n";
    json += "  \"plugin\": " + JsonString(pluginPath) + ",\n";
    json += "  \"hostBits\": " + std::to_string(HostBits()) + ",\n";
    json += "  \"time\": " + JsonString(snapshot.time) + ",\n";
    json += "  \"count\": " + std::to_string(snapshot.reported) + ",\n";
    json += "  \"sources\": [";
    for (size_t i = 0; i < snapshot.sources.size(); ++i) {
        const SourceReading &s = snapshot.sources[i];
        json += i == 0 ? "\n" : ",\n";
        json += "    {\"index\": " + std::to_string(s.index);
        json += ", \"group\": " + JsonString(GroupName(s.group));
        json += ", \"name\": " + JsonString(s.name);
        json += ", \"units\": " + JsonString(s.units);
        json += ", \"value\": " + (HasReading(s.value) ? JsonReading(s) : "null");
        json += ", \"scaleMin\": " + JsonNumber(s.scaleMin);
        json += ", \"scaleMax\": " + JsonNumber(s.scaleMax);
        json += ", \"scaleDivisions\": " + JsonNumber(s.scaleDivisions);
        json += ", \"described\": " + std::string(s.described ? "true" : "false") + "}";
    }
    json += snapshot.sources.empty() ? "]\n" : "\n  ]\n";
    return json + "}\n";
}

std::string CsvHeader() {
    return ColumnHeader(kColumnIndex);
}

std::string CsvRow(const SourceReading &s) {
    std::string fields[kColumnCount];
    fields[kColumnIndex] = std::to_string(s.index);
    fields[kColumnGroup] = GroupName(s.group);
    fields[kColumnName] = CsvField(s.name);
    fields[kColumnValue] = HasReading(s.value) ? ReadingNumber(s) : "";
    fields[kColumnUnits] = CsvField(s.units);
    fields[kColumnScaleMin] = ShortestFloat(s.scaleMin);
    fields[kColumnScaleMax] = ShortestFloat(s.scaleMax);
    fields[kColumnScaleDivisions] = ShortestFloat(s.scaleDivisions);
    std::string row;
    for (int column = kColumnIndex; column < kColumnCount; ++column) {
        row += (column == kColumnIndex ? "" : ",") + fields[column];
    }
    return row + "\n";
}

std::string LogHeader() {
    return ColumnHeader(kColumnTime);
}

std::string LogRows(const std::string &time, const std::vector<SourceReading> &sources) {
    std::string rows;
    for (const SourceReading &s : sources) {
        rows += CsvField(time) + "," + CsvRow(s);
    }
    return rows;
}
