// The cells of a recorded row: digits are read by hand, so no exponent, hex,
// space, NUL or "nan" that a library parser would take slips through.
#include "recorded_row.h"

#include "log_columns.h"
#include "source_group.h"
#include "terminal_text.h"
#include "timestamp_text.h"

namespace {

const char kFahrenheitUnits[] = "\xC2\xB0"
                                "F"; // UTF-8, as kdhost writes it
// How much of a cell a problem quotes.
const size_t kQuotedChars = 32;
// What a slot holds either way; its lowest value means no reading.
const int64_t kLargestSlot = INT32_MAX;

std::string Quoted(const std::string &cell) {
    return "'" + TerminalText(cell, kQuotedChars) + "'";
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits from text[at] on, as a number; false when there are none. Stops
// growing past limit, which is then still over it.
bool ReadDigits(const std::string &text, size_t &at, int64_t limit, int64_t &value) {
    const size_t start = at;
    value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        value = value > limit ? value : value * 10 + (text[at] - '0');
    }
    return at > start;
}

} // namespace

std::string ParseRecordedValue(const std::string &text, RowGroup group, int32_t &slot) {
    slot = INT32_MIN;
    if (text.empty()) {
        return "";
    }
    const bool fan = group == RowGroup::Fan;
    const std::string what = fan ? "a speed in RPM" : "a temperature in degrees";
    const std::string form =
        fan ? "a whole number" : "digits with at most two decimals, as kdhost writes it";
    size_t at = text[0] == '-' ? 1 : 0;
    int64_t whole = 0, decimals = 0;
    bool ok = ReadDigits(text, at, kLargestSlot, whole);
    size_t decimalDigits = 0;
    if (ok && !fan && at < text.size() && text[at] == '.') {
        const size_t point = ++at;
        ok = ReadDigits(text, at, kLargestSlot, decimals) && at - point <= 2;
        decimalDigits = at - point;
    }
    if (!ok || at != text.size()) {
        return "value " + Quoted(text) + " is not " + what + ": it should be " + form;
    }
    int64_t magnitude = fan ? whole : whole * 100 + decimals * (decimalDigits == 1 ? 10 : 1);
    if (whole > kLargestSlot || magnitude > kLargestSlot) {
        return "value " + Quoted(text) + " is out of range: the block holds " +
               (fan ? "speeds up to 2147483647 RPM" : "temperatures up to 21474836.47 degrees") +
               " either way";
    }
    slot = int32_t(text[0] == '-' ? -magnitude : magnitude);
    return "";
}

std::string ParseRecordedRow(const CsvRecord &record, RecordedRow &row) {
    row = RecordedRow();
    const std::vector<std::string> &f = record.fields;
    auto cell = [&](LogColumn column) { return size_t(column) < f.size() ? f[column] : ""; };
    // Time, index and group are read even from a malformed row: they say
    // where it belongs, so it leaves a gap there instead of shifting others.
    int64_t index = -1;
    size_t at = 0;
    const std::string indexCell = cell(kColumnIndex);
    if (ReadDigits(indexCell, at, kRecordedSources, index) && at == indexCell.size() &&
        index < kRecordedSources) {
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
