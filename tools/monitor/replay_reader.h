// A kdhost --log recording read as the snapshots kdhost took, one at a time,
// each to be published as one block: memory stays that of one snapshot, and
// malformed rows are counted, the first few described. Portable.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "csv_reader.h"
#include "published_readings.h"
#include "recorded_slots.h"

struct RecordedSnapshot {
    std::string time;   // as recorded
    int64_t timeMs = 0; // the same, for subtracting
    size_t line = 0;    // the line of its first row
    Readings readings;  // by index; "no reading" cells and gaps as kNoReadingSlot
};

// What reading has found so far, beyond the snapshots themselves.
struct RecordingFindings {
    size_t snapshots = 0;
    std::string firstTime, lastTime;
    size_t skipped = 0;                // rows skipped, or kept only as "no reading"
    size_t firstSkippedLine = 0;       // the line of the first of them
    std::vector<std::string> problems; // "line N: what is wrong", the first few only
    std::vector<size_t> problemLines;  // the N of each of them
    std::string cutShort;              // why the rest cannot be read; "" when read to the end
    bool fahrenheit = false;           // the rows carry degrees Fahrenheit
    size_t mostLeftOut = 0;            // past 32 of a group in one snapshot
};

// How many problems are described; the rest are only counted.
constexpr size_t kProblemsKept = 10;

class RecordingReader {
  public:
    explicit RecordingReader(std::istream &in);

    // The first line; false with a sentence when it is not the log's header.
    bool ReadHeader(std::string &error);

    // The next snapshot; false at the end of what can be read.
    bool Next(RecordedSnapshot &snapshot);

    const RecordingFindings &Findings() const {
        return findings_;
    }

    // How far into the file reading has come, in bytes.
    uint64_t BytesRead() const {
        return csv_.BytesRead();
    }

  private:
    bool NextRow(RecordedRow &row, std::string &problem, size_t &line);
    void Skipped(size_t line, const std::string &problem);

    CsvReader csv_;
    RecordingFindings findings_;
    GroupHints hints_{};
    bool pending_ = false; // the first row of the next snapshot is read already
    RecordedRow pendingRow_;
    size_t pendingLine_ = 0;
    std::string pendingProblem_; // counted already
};
