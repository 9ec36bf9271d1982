// CSV as RFC 4180 has it, read record by record from a stream, so a file of
// any size is read in the memory of one record. Portable: no platform header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct CsvRecord {
    size_t line = 0;       // where the record starts, counted from 1
    size_t fieldCount = 0; // every field of the record, kept or not
    std::vector<std::string> fields;
    std::string error;          // not empty: the record is malformed, and says how
    bool unclosedQuote = false; // a quote that never closes took the rest of the text
    bool tooLong = false;       // past limits.recordBytes: reading has stopped there
};

// How much of a cell a sentence about it quotes.
constexpr size_t kQuotedCellChars = 32;

// What one record may hold; more is read past, not kept, and makes it malformed.
struct CsvLimits {
    size_t fieldBytes = SIZE_MAX; // bytes kept of one field
    size_t fields = SIZE_MAX;     // fields kept of one record
    // Bytes read for one record, the empty lines before it included. Past
    // them reading stops for good, so a stream without line ends (or of line
    // ends only) is given up at once instead of read to its end, if it has one.
    size_t recordBytes = SIZE_MAX;
};

// Splits a stream into records at line ends (LF or CR LF) outside quotes; a
// quoted field may hold commas, doubled quotes and line ends. Empty lines give
// no record. A malformed record comes with its error, and reading goes on at
// the next line; one past limits.recordBytes ends the reading (tooLong).
class CsvReader {
  public:
    explicit CsvReader(std::istream &in, CsvLimits limits = CsvLimits());

    // The next record; false at the end of the stream, or after a record
    // that was too long.
    bool Next(CsvRecord &record);

    // How many bytes have been read.
    uint64_t BytesRead() const {
        return bytesRead_;
    }

    // The line reading has reached, counted from 1.
    size_t Line() const {
        return line_;
    }

  private:
    static constexpr int kEnd = std::char_traits<char>::eof();
    int Peek() {
        return ahead_ != kEnd ? ahead_ : buffer_->sgetc();
    }
    int PeekSecond(); // the character after Peek()'s
    int Take();
    bool AtLineEnd();
    bool OverCap(CsvRecord &record);
    void SkipLineEnd();
    void SkipRestOfLine();
    void Keep(std::string &field, int c, CsvRecord &record);
    bool ReadQuoted(std::string &field, CsvRecord &record);
    bool ReadUnquoted(std::string &field, CsvRecord &record);

    std::streambuf *buffer_;
    CsvLimits limits_;
    int ahead_ = kEnd; // a character taken from the buffer to look past it
    size_t line_ = 1;
    uint64_t bytesRead_ = 0;
    uint64_t recordStart_ = 0; // bytesRead_ where the current record's reading began
    bool stopped_ = false;     // a record was too long: nothing more is read
};
