// Quoting and splitting CSV fields; the reader undoes exactly what the writer does.
#include "csv_text.h"

#include <sstream>

std::string CsvField(const std::string &text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string out = "\"";
    for (char c : text) {
        out += c == '"' ? "\"\"" : std::string(1, c);
    }
    return out + "\"";
}

std::vector<CsvRecord> ParseCsv(const std::string &text) {
    std::istringstream in(text);
    CsvReader reader(in);
    std::vector<CsvRecord> records;
    for (CsvRecord record; reader.Next(record);) {
        records.push_back(record);
    }
    return records;
}
