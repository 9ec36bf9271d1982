// Reads a recording with the columns and CSV rules kdhost writes it with
// (log_columns.h, csv_reader.h); each row is checked before it is used.
#include "replay_reader.h"

#include <algorithm>

#include "log_columns.h"

namespace {

// Longer cells than this are no cells kdhost writes (its longest, a name, is
// 31 characters of the plug-in's); a record keeps one field past the columns,
// to tell a row of too many. kdhost's rows are under 300 bytes: a line past
// 64 KB (a file without line ends, of zeros, of one endless field) ends the
// reading there, so no file, whatever its size, is read on for nothing.
const CsvLimits kRowLimits = {1024, kColumnCount + 1, 64 * 1024};

bool IsHeader(const CsvRecord &record) {
    if (!record.error.empty() || record.fieldCount != kColumnCount) {
        return false;
    }
    for (size_t column = 0; column < kColumnCount; ++column) {
        // An editor may have put a byte order mark before the first column.
        const std::string bom = column == 0 ? "\xEF\xBB\xBF" : "";
        if (record.fields[column] != kColumnNames[column] &&
            record.fields[column] != bom + kColumnNames[column]) {
            return false;
        }
    }
    return true;
}

} // namespace

RecordingReader::RecordingReader(std::istream &in) : csv_(in, kRowLimits) {
    hints_.fill(RowGroup::Unknown);
}

bool RecordingReader::ReadHeader(std::string &error) {
    CsvRecord record;
    if (!csv_.Next(record) || !IsHeader(record)) {
        const std::string header = ColumnHeader(kColumnTime);
        const std::string columns = header.substr(0, header.size() - 1);
        error = record.tooLong
                    ? "it is not a kdhost --log recording: its first " +
                          std::to_string(kRowLimits.recordBytes) +
                          " bytes hold no line that could be its header, " + columns
                    : "it is not a kdhost --log recording: its first line should read " + columns;
        return false;
    }
    return true;
}

void RecordingReader::Skipped(size_t line, const std::string &problem) {
    if (findings_.skipped++ == 0) {
        findings_.firstSkippedLine = line;
    }
    if (findings_.problems.size() < kProblemsKept) {
        findings_.problems.push_back("line " + std::to_string(line) + ": " + problem);
        findings_.problemLines.push_back(line);
    }
}

// The next row that is no header; false at the end of what can be read.
bool RecordingReader::NextRow(RecordedRow &row, std::string &problem, size_t &line) {
    CsvRecord record;
    do {
        if (!findings_.cutShort.empty() || !csv_.Next(record)) {
            return false;
        }
    } while (IsHeader(record)); // two recordings joined one after the other
    line = record.line;
    problem = ParseRecordedRow(record, row);
    if (record.unclosedQuote || record.tooLong) {
        // Whatever follows the quote is inside it, and what follows a line of
        // no end is not read: no row, not even this one.
        Skipped(line, problem);
        findings_.cutShort =
            record.error + ", so the rest of the recording from there on cannot be read";
        return false;
    }
    return true;
}

bool RecordingReader::Next(RecordedSnapshot &snapshot) {
    RecordedSlots slots;
    snapshot = RecordedSnapshot();
    RecordedRow row;
    std::string problem;
    size_t line = 0;
    for (;;) {
        if (pending_) {
            row = pendingRow_, line = pendingLine_, problem = pendingProblem_, pending_ = false;
        } else if (!NextRow(row, problem, line)) {
            break;
        } else if (!problem.empty()) {
            Skipped(line, problem);
        }
        // A row whose time cannot be read belongs to the snapshot around it.
        const bool sameSnapshot = row.time.empty() || row.time == snapshot.time;
        if (!slots.Empty() && !sameSnapshot) {
            pending_ = true, pendingRow_ = row, pendingLine_ = line, pendingProblem_ = problem;
            break;
        }
        if (slots.Empty() && row.time.empty()) {
            continue; // nothing to belong to
        }
        if (slots.Empty()) {
            snapshot.time = row.time, snapshot.timeMs = row.timeMs, snapshot.line = line;
        }
        const std::string misplaced = slots.Place(row, problem.empty());
        if (!misplaced.empty() && problem.empty()) {
            Skipped(line, misplaced);
        }
        findings_.fahrenheit = findings_.fahrenheit || row.fahrenheit;
    }
    if (slots.Empty()) {
        return false;
    }
    snapshot.readings = slots.Build(hints_);
    const size_t leftOut =
        std::max(KeepSlots(snapshot.readings.temps), KeepSlots(snapshot.readings.fans));
    findings_.mostLeftOut = std::max(findings_.mostLeftOut, leftOut);
    findings_.firstTime = findings_.snapshots++ == 0 ? snapshot.time : findings_.firstTime;
    findings_.lastTime = snapshot.time;
    return true;
}
