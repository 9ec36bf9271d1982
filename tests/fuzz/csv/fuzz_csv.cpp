// CSV both ways. The first byte picks the check:
// - rows made of any bytes, each field written by CsvField, read back by
//   ParseCsv field for field, each record on the line it starts on (a row of
//   one empty field is an empty line, which gives no record);
// - any text read by ParseCsv: line numbers rise and stay within the text, and
//   its well-formed records written back read as the same records.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "csv_text.h"
#include "fuzz_check.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string Written(const Rows &rows, const char *lineEnd, std::vector<size_t> &startLines) {
    std::string text;
    for (const std::vector<std::string> &row : rows) {
        startLines.push_back(1 + size_t(std::count(text.begin(), text.end(), '\n')));
        for (size_t i = 0; i < row.size(); ++i) {
            text += (i == 0 ? "" : ",") + CsvField(row[i]);
        }
        text += lineEnd;
    }
    return text;
}

void RoundTrip(FuzzedDataProvider &input) {
    Rows rows;
    const char *lineEnd = input.ConsumeBool() ? "\r\n" : "\n";
    while (input.remaining_bytes() > 0 && rows.size() < 64) {
        std::vector<std::string> row(input.ConsumeIntegralInRange<size_t>(1, 12));
        for (std::string &field : row) {
            field = input.ConsumeRandomLengthString(64);
        }
        rows.push_back(row);
    }
    std::vector<size_t> startLines;
    const std::string text = Written(rows, lineEnd, startLines);
    const std::vector<CsvRecord> records = ParseCsv(text);
    size_t next = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].size() == 1 && rows[i][0].empty()) {
            continue;
        }
        Require(next < records.size(), "every written row reads back as a record");
        const CsvRecord &record = records[next++];
        Require(record.error.empty(), "a written row reads back without an error");
        Require(record.fields == rows[i], "a written row reads back field for field");
        Require(record.line == startLines[i], "a record is on the line it starts on");
    }
    Require(next == records.size(), "no record appears that was not written");
}

void AnyText(const std::string &text) {
    const std::vector<CsvRecord> records = ParseCsv(text);
    const size_t lines = 1 + size_t(std::count(text.begin(), text.end(), '\n'));
    size_t previous = 0;
    Rows good;
    for (const CsvRecord &record : records) {
        Require(record.line > previous && record.line <= lines,
                "records rise in line number within the text");
        previous = record.line;
        if (record.error.empty()) {
            Require(!record.fields.empty(), "a well-formed record has a field");
            good.push_back(record.fields);
        }
    }
    std::vector<size_t> startLines;
    const std::vector<CsvRecord> again = ParseCsv(Written(good, "\r\n", startLines));
    size_t next = 0;
    for (const std::vector<std::string> &row : good) {
        if (row.size() == 1 && row[0].empty()) {
            continue;
        }
        Require(next < again.size() && again[next].error.empty() && again[next].fields == row,
                "well-formed records written back read the same");
        ++next;
    }
    Require(next == again.size(), "writing back adds no record");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;
    }
    if (data[0] & 1) {
        FuzzedDataProvider input(data + 1, size - 1);
        RoundTrip(input);
    } else {
        AnyText(std::string(reinterpret_cast<const char *>(data) + 1, size - 1));
    }
    return 0;
}
