// CSV as RFC 4180 has it, both ways: quoting a field for kdhost's outputs and
// splitting text back into records for kdmonitor's replay of a recording.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The field as it goes into a row: quoted, with quotes doubled, when it holds
// a comma, a quote or a line end; unchanged otherwise.
std::string CsvField(const std::string &text);

struct CsvRecord {
    size_t line = 0; // where the record starts, counted from 1
    std::vector<std::string> fields;
    std::string error; // not empty: the record is malformed, and says how
};

// Splits text into records at line ends (LF or CR LF) outside quotes; a quoted
// field may hold commas, doubled quotes and line ends. Empty lines give no
// record. A malformed record is returned with its error, and reading goes on
// at the next line.
std::vector<CsvRecord> ParseCsv(const std::string &text);
