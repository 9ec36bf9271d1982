// CSV as RFC 4180 has it, both ways: quoting a field for kdhost's outputs and
// splitting text back into records for kdmonitor's replay of a recording.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "csv_reader.h"

// The field as it goes into a row: quoted, with quotes doubled, when it holds
// a comma, a quote or a line end; unchanged otherwise.
std::string CsvField(const std::string &text);

// Every record of a text, read by CsvReader's rules with no limits.
std::vector<CsvRecord> ParseCsv(const std::string &text);
