// The cells of a recorded row, read by the tools' one number grammar
// (number_reader.h), so no exponent, hex, space, NUL or "nan" slips through.
#include "recorded_row.h"

#include "log_columns.h"
#include "number_reader.h"
#include "source_group.h"
#include "terminal_text.h"
#include "timestamp_text.h"

namespace {

const char kFahrenheitUnits[] = "\xC2\xB0"
                                "F"; // UTF-8, as kdhost writes it
// What a slot holds either way; its lowest value means no reading.
const int64_t kLargestSlot = INT32_MAX;

std::string Quoted(const std::string &cell) {
    return QuotedText(cell, kQuotedCellChars);
}

} // namespace

std::string ParseRecordedValue(const std::string &text, RowGroup group, int32_t &slot) {
    slot = INT32_MIN;
    if (text.empty()) {
        return "";
    }
    const bool fan = group == RowGroup::Fan;
    // Hundredths of a degree or whole RPM, exactly as kdhost writes them.
    int64_t value = 0;
    switch (ReadScaled(text, fan ? 0 : 2, -kLargestSlot, kLargestSlot, value)) {
    case NumberRead::Taken:
        slot = int32_t(value);
        return "";
    case NumberRead::OutOfRange:
        return "value " + Quoted(text) + " is out of range: the block holds " +
               (fan ? "speeds up to 2147483647 RPM" : "temperatures up to 21474836.47 degrees") +
               " either way";
    case NumberRead::NoNumber:
        break;
    }
    return "value " + Quoted(text) + " is not " +
           (fan ? "a speed in RPM: it should be a whole number"
                : "a temperature in degrees: it should be digits with at most two decimals, as "
                  "kdhost writes it");
}

std::string ParseRecordedRow(const CsvRecord &record, RecordedRow &row) {
    row = RecordedRow();
    const std::vector<std::string> &f = record.fields;
    auto cell = [&](LogColumn column) { return size_t(column) < f.size() ? f[column] : ""; };
    // Time, index and group are read even from a malformed row: they say
    // where it belongs, so it leaves a gap there instead of shifting others.
    uint64_t index = 0;
    const std::string indexCell = cell(kColumnIndex);
    if (ReadDigits(indexCell, kRecordedSources - 1, index) == NumberRead::Taken) {
        row.index = int(index);
    }
    if (ParseTimestamp(cell(kColumnTime), row.timeMs)) {
        row.time = cell(kColumnTime);
    }
    if (cell(kColumnGroup) == GroupName(SourceGroup::Temperature)) {
        row.group = RowGroup::Temperature;
    } else if (cell(kColumnGroup) == GroupName(SourceGroup::Fan)) {
        row.group = RowGroup::Fan;
    }
    if (!record.error.empty()) {
        return record.error;
    }
    if (record.fieldCount != kColumnCount) {
        return std::to_string(record.fieldCount) + " fields, where a row has " +
               std::to_string(int(kColumnCount));
    }
    if (row.time.empty()) {
        return "time " + Quoted(f[kColumnTime]) +
               " is not a local time like 2026-12-08T18:21:43.782";
    }
    if (row.index < 0) {
        return "index " + Quoted(indexCell) + " is not a source number from 0 to " +
               std::to_string(kRecordedSources - 1);
    }
    if (row.group == RowGroup::Unknown) {
        return "group " + Quoted(f[kColumnGroup]) + " is neither " +
               GroupName(SourceGroup::Temperature) + " nor " + GroupName(SourceGroup::Fan);
    }
    row.fahrenheit = row.group == RowGroup::Temperature && f[kColumnUnits] == kFahrenheitUnits;
    return ParseRecordedValue(f[kColumnValue], row.group, row.slot);
}
