// Reads a recording with the columns and CSV rules kdhost writes it with
// (log_columns.h, csv_text.h); each row is checked before it is used.
#include "replay_reader.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "csv_text.h"
#include "log_columns.h"
#include "option_values.h"
#include "source_snapshot.h"

namespace {

const char kFahrenheitUnits[] = "\xC2\xB0"
                                "F"; // UTF-8, as kdhost writes it

struct RecordedRow {
    std::string time;
    int64_t timeMs = 0;
    int64_t index = 0;
    SourceGroup group = SourceGroup::Temperature;
    int32_t slot = kNoReadingSlot;
    bool fahrenheit = false;
};

bool IsHeader(const CsvRecord &record) {
    if (record.fields.size() != kColumnCount) {
        return false;
    }
    for (size_t column = 0; column < kColumnCount; ++column) {
        if (record.fields[column] != kColumnNames[column]) {
            return false;
        }
    }
    return true;
}

// The value cell as the block's slot: hundredths of a degree or RPM.
bool ParseSlot(const std::string &text, SourceGroup group, int32_t &slot) {
    if (text.empty()) {
        slot = kNoReadingSlot;
        return true;
    }
    const double scale = group == SourceGroup::Temperature ? 100.0 : 1.0;
    const double limit = 2.1e9 / scale; // what a slot holds
    double value = 0;
    if (!ParseNumber(text, -limit, limit, value)) {
        return false;
    }
    slot = int32_t(std::llround(value * scale));
    return true;
}

// One row checked column by column; false with what is wrong.
bool ParseRow(const CsvRecord &record, RecordedRow &row, std::string &problem) {
    if (!record.error.empty()) {
        problem = record.error;
        return false;
    }
    const std::vector<std::string> &f = record.fields;
    if (f.size() != kColumnCount) {
        problem = std::to_string(f.size()) + " fields, where a row has " +
                  std::to_string(int(kColumnCount));
        return false;
    }
    row.time = f[kColumnTime];
    if (!ParseTimestamp(row.time, row.timeMs)) {
        problem = "time '" + row.time + "' is not a local time like 2026-12-08T18:21:43.782";
        return false;
    }
    if (!ParseInteger(f[kColumnIndex], 0, kMaxSources - 1, row.index)) {
        problem = "index '" + f[kColumnIndex] + "' is not a source number from 0 to " +
                  std::to_string(kMaxSources - 1);
        return false;
    }
    if (f[kColumnGroup] == GroupName(SourceGroup::Temperature)) {
        row.group = SourceGroup::Temperature;
    } else if (f[kColumnGroup] == GroupName(SourceGroup::Fan)) {
        row.group = SourceGroup::Fan;
    } else {
        problem = "group '" + f[kColumnGroup] + "' is neither " +
                  GroupName(SourceGroup::Temperature) + " nor " + GroupName(SourceGroup::Fan);
        return false;
    }
    if (!ParseSlot(f[kColumnValue], row.group, row.slot)) {
        problem = "value '" + f[kColumnValue] + "' is not a " +
                  (row.group == SourceGroup::Fan ? "speed in RPM" : "temperature in degrees");
        return false;
    }
    row.fahrenheit = row.group == SourceGroup::Temperature && f[kColumnUnits] == kFahrenheitUnits;
    return true;
}

// The rows of one snapshot, in the order of their indices, as one block.
RecordedSnapshot MakeSnapshot(std::vector<RecordedRow> &rows, size_t line, Recording &recording) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const RecordedRow &a, const RecordedRow &b) { return a.index < b.index; });
    RecordedSnapshot snapshot;
    snapshot.time = rows.front().time;
    snapshot.timeMs = rows.front().timeMs;
    snapshot.line = line;
    for (const RecordedRow &row : rows) {
        auto &group =
            row.group == SourceGroup::Fan ? snapshot.readings.fans : snapshot.readings.temps;
        group.push_back(row.slot);
        recording.fahrenheit = recording.fahrenheit || row.fahrenheit;
    }
    size_t leftOut =
        std::max(KeepSlots(snapshot.readings.temps), KeepSlots(snapshot.readings.fans));
    recording.mostLeftOut = std::max(recording.mostLeftOut, leftOut);
    return snapshot;
}

} // namespace

bool ParseRecording(const std::string &text, Recording &recording, std::string &error) {
    recording = Recording();
    const std::string bom = "\xEF\xBB\xBF"; // an editor may have added one
    std::vector<CsvRecord> records = ParseCsv(text.compare(0, 3, bom) == 0 ? text.substr(3) : text);
    if (records.empty() || !IsHeader(records.front())) {
        error = "it is not a kdhost --log recording: its first line should read " +
                ColumnHeader(kColumnTime).substr(0, ColumnHeader(kColumnTime).size() - 1);
        return false;
    }
    std::vector<RecordedRow> rows; // of the snapshot being gathered
    size_t firstLine = 0;
    auto finish = [&] {
        if (!rows.empty()) {
            recording.snapshots.push_back(MakeSnapshot(rows, firstLine, recording));
        }
        rows.clear();
    };
    for (size_t i = 1; i < records.size(); ++i) {
        const CsvRecord &record = records[i];
        RecordedRow row;
        std::string problem;
        if (IsHeader(record)) {
            continue; // two recordings joined one after the other
        }
        if (!ParseRow(record, row, problem)) {
            recording.problems.push_back("line " + std::to_string(record.line) + ": " + problem);
            continue;
        }
        if (!rows.empty() && row.time != rows.front().time) {
            finish();
        }
        bool repeated = std::any_of(rows.begin(), rows.end(), [&](const RecordedRow &seen) {
            return seen.index == row.index;
        });
        if (repeated) {
            recording.problems.push_back("line " + std::to_string(record.line) + ": source " +
                                         std::to_string(row.index) + " appears twice at " +
                                         row.time + "; the first row is kept");
            continue;
        }
        firstLine = rows.empty() ? record.line : firstLine;
        rows.push_back(row);
    }
    finish();
    if (recording.snapshots.empty()) {
        error = "it holds no usable row";
        return false;
    }
    return true;
}

bool ReadRecording(const std::string &path, Recording &recording, std::string &error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open the recording " + path;
        return false;
    }
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!ParseRecording(text, recording, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

int64_t HoldMs(const Recording &recording, size_t index, double speed) {
    const std::vector<RecordedSnapshot> &s = recording.snapshots;
    int64_t gap = 1000;
    if (index + 1 < s.size()) {
        gap = s[index + 1].timeMs - s[index].timeMs;
    } else if (index > 0 && index < s.size()) {
        gap = s[index].timeMs - s[index - 1].timeMs;
    }
    return int64_t(std::llround(double(std::max<int64_t>(gap, 0)) / speed));
}
