// Reading CSV from a stream; the reader undoes exactly what CsvField does.
#include "csv_reader.h"

#include "terminal_text.h"

CsvReader::CsvReader(std::istream &in, CsvLimits limits) : buffer_(in.rdbuf()), limits_(limits) {}

int CsvReader::PeekSecond() {
    if (ahead_ == kEnd) {
        ahead_ = buffer_->sbumpc();
    }
    return buffer_->sgetc();
}

int CsvReader::Take() {
    int c = ahead_;
    if (c != kEnd) {
        ahead_ = kEnd;
    } else {
        c = buffer_->sbumpc();
    }
    if (c != kEnd) {
        ++bytesRead_;
    }
    line_ += c == '\n' ? 1 : 0;
    return c;
}

bool CsvReader::AtLineEnd() {
    const int c = Peek();
    return c == kEnd || c == '\n' || (c == '\r' && PeekSecond() == '\n');
}

// True, with the record marked, once the record has taken more bytes than
// a record may: the caller stops where it is.
bool CsvReader::OverCap(CsvRecord &record) {
    if (bytesRead_ - recordStart_ <= limits_.recordBytes) {
        return false;
    }
    if (!record.tooLong) {
        record.tooLong = true;
        record.error = "line " + std::to_string(record.line) + " is longer than " +
                       std::to_string(limits_.recordBytes) + " bytes";
    }
    return true;
}

void CsvReader::SkipLineEnd() {
    if (Peek() == '\r') {
        Take();
    }
    if (Peek() == '\n') {
        Take();
    }
}

void CsvReader::SkipRestOfLine() {
    while (!AtLineEnd()) {
        Take();
        if (bytesRead_ - recordStart_ > limits_.recordBytes) {
            return; // Next sees it is too long
        }
    }
    SkipLineEnd();
}

void CsvReader::Keep(std::string &field, int c, CsvRecord &record) {
    if (field.size() < limits_.fieldBytes) {
        field += char(c);
    } else if (record.error.empty()) {
        record.error = "field " + std::to_string(record.fieldCount + 1) + " is longer than " +
                       std::to_string(limits_.fieldBytes) + " bytes";
    }
}

// A quoted field, the reader on its opening quote; false with the reason when
// it does not close before the stream ends or is followed by more than a comma.
bool CsvReader::ReadQuoted(std::string &field, CsvRecord &record) {
    const size_t opened = line_;
    Take();
    for (int c = Take(); c != kEnd; c = Take()) {
        if (OverCap(record)) {
            record.error = "a quote opened on line " + std::to_string(opened) +
                           " is not closed within " + std::to_string(limits_.recordBytes) +
                           " bytes";
            return false;
        }
        if (c != '"') {
            Keep(field, c, record);
        } else if (Peek() == '"') {
            Keep(field, Take(), record);
        } else if (AtLineEnd() || Peek() == ',') {
            return true;
        } else {
            record.error =
                "text after the closing quote of field " + QuotedText(field, kQuotedCellChars);
            return false;
        }
    }
    record.error = "a quote opened on line " + std::to_string(opened) + " is never closed";
    record.unclosedQuote = true;
    return false;
}

bool CsvReader::ReadUnquoted(std::string &field, CsvRecord &record) {
    while (!AtLineEnd() && Peek() != ',') {
        if (OverCap(record)) {
            return false;
        }
        if (Peek() == '"') {
            record.error =
                "a quote inside the unquoted field starting " + QuotedText(field, kQuotedCellChars);
            return false;
        }
        Keep(field, Take(), record);
    }
    return true;
}

bool CsvReader::Next(CsvRecord &record) {
    record = CsvRecord();
    if (stopped_) {
        return false;
    }
    recordStart_ = bytesRead_;
    record.line = line_;
    while (Peek() != kEnd && AtLineEnd()) {
        SkipLineEnd(); // empty lines
        if (OverCap(record)) {
            record.error = "from line " + std::to_string(record.line) + " on, more than " +
                           std::to_string(limits_.recordBytes) + " bytes hold no record";
            stopped_ = true;
            return true;
        }
    }
    if (Peek() == kEnd) {
        return false;
    }
    record.line = line_;
    for (;;) {
        std::string field;
        if (!(Peek() == '"' ? ReadQuoted(field, record) : ReadUnquoted(field, record))) {
            if (!record.tooLong) {
                SkipRestOfLine();
                OverCap(record);
            }
            stopped_ = record.tooLong;
            return true;
        }
        if (record.fields.size() < limits_.fields) {
            record.fields.push_back(std::move(field));
        }
        ++record.fieldCount;
        if (AtLineEnd()) {
            SkipLineEnd();
            return true;
        }
        Take(); // the comma
        if (OverCap(record)) {
            stopped_ = true;
            return true;
        }
    }
}
