// Quoting and splitting CSV fields; the reader undoes exactly what the writer does.
#include "csv_text.h"

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

namespace {

struct CsvCursor {
    const std::string &text;
    size_t at = 0;
    size_t line = 1;

    bool AtLineEnd() const {
        return at >= text.size() || text[at] == '\n' ||
               (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n');
    }
    void SkipLineEnd() {
        if (at < text.size() && text[at] == '\r') {
            ++at;
        }
        if (at < text.size() && text[at] == '\n') {
            ++at;
            ++line;
        }
    }
    void SkipRestOfLine() {
        while (!AtLineEnd()) {
            ++at;
        }
        SkipLineEnd();
    }
};

// A quoted field, the cursor on its opening quote; false with the reason when
// it does not close before the text ends or is followed by more than a comma.
bool ReadQuoted(CsvCursor &cursor, std::string &field, std::string &error) {
    const size_t opened = cursor.line;
    for (++cursor.at; cursor.at < cursor.text.size(); ++cursor.at) {
        char c = cursor.text[cursor.at];
        if (c == '\n') {
            ++cursor.line;
        }
        if (c != '"') {
            field += c;
        } else if (cursor.at + 1 < cursor.text.size() && cursor.text[cursor.at + 1] == '"') {
            field += '"';
            ++cursor.at;
        } else {
            ++cursor.at;
            if (!cursor.AtLineEnd() && cursor.text[cursor.at] != ',') {
                error = "text after the closing quote of field \"" + field + "\"";
                return false;
            }
            return true;
        }
    }
    error = "a quote opened on line " + std::to_string(opened) + " is never closed";
    return false;
}

CsvRecord ReadRecord(CsvCursor &cursor) {
    CsvRecord record;
    record.line = cursor.line;
    for (;;) {
        std::string field;
        if (cursor.at < cursor.text.size() && cursor.text[cursor.at] == '"') {
            if (!ReadQuoted(cursor, field, record.error)) {
                cursor.SkipRestOfLine();
                return record;
            }
        } else {
            while (!cursor.AtLineEnd() && cursor.text[cursor.at] != ',') {
                if (cursor.text[cursor.at] == '"') {
                    record.error = "a quote inside the unquoted field starting \"" + field + "\"";
                    cursor.SkipRestOfLine();
                    return record;
                }
                field += cursor.text[cursor.at++];
            }
        }
        record.fields.push_back(field);
        if (cursor.AtLineEnd()) {
            cursor.SkipLineEnd();
            return record;
        }
        ++cursor.at; // the comma
    }
}

} // namespace

std::vector<CsvRecord> ParseCsv(const std::string &text) {
    std::vector<CsvRecord> records;
    CsvCursor cursor{text};
    while (cursor.at < text.size()) {
        if (cursor.AtLineEnd()) {
            cursor.SkipLineEnd();
            continue;
        }
        records.push_back(ReadRecord(cursor));
    }
    return records;
}
