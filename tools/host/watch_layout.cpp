// Layout arithmetic of the watch's frame, free of the console: the width is
// whatever the caller read from it.
#include "watch_layout.h"

#include <algorithm>

#include "source_table.h"
#include "sparkline.h"
#include "text_output.h"

namespace {

constexpr size_t kSentenceWidth = 78;

// Under a table whose scale columns show a range extended past a source's own.
const std::string kExtendedNote = std::string(kExtendedMark) +
                                  " extended to hold the recent readings; the plug-in's own scale "
                                  "is in --json and --csv";

bool AnyExtended(const std::vector<DrawnRange> &ranges) {
    for (const DrawnRange &range : ranges) {
        if (Extended(range)) {
            return true;
        }
    }
    return false;
}

// The sentence wrapped at spaces to the width, or at kSentenceWidth on a pipe.
std::vector<std::string> Wrapped(const std::string &sentence, size_t width) {
    return WrapWords(sentence, width == 0 ? kSentenceWidth : std::min(kSentenceWidth, width));
}

bool Fits(const std::vector<std::string> &lines, size_t width) {
    for (const std::string &line : lines) {
        if (width != 0 && DisplayWidth(line) > width) {
            return false;
        }
    }
    return true;
}

// Shapes from the fullest down, each tried with its widest sparklines first.
std::vector<std::string> FittedTable(const LiveViewState &state, size_t width) {
    const std::vector<DrawnRange> ranges = RowRanges(state);
    for (TableShape shape :
         {TableShape{true, true}, TableShape{true, false}, TableShape{false, false}}) {
        for (size_t spark = kWidestSparkline; spark >= kNarrowestSparkline; --spark) {
            std::vector<std::string> lines =
                SourceTableLines(state.rows, RowSparklines(state, spark), shape, ranges);
            if (Fits(lines, width)) {
                if (shape.scale && AnyExtended(ranges)) {
                    std::vector<std::string> note = Wrapped(kExtendedNote, width);
                    lines.insert(lines.end(), note.begin(), note.end());
                }
                return lines;
            }
        }
    }
    return SourceTableLines(state.rows, {}, TableShape{false, false});
}

// The pieces two spaces apart, a new line where the next one would not fit.
std::vector<std::string> JoinFitting(const std::vector<std::string> &pieces, size_t width) {
    std::vector<std::string> lines;
    for (const std::string &piece : pieces) {
        if (!lines.empty() &&
            (width == 0 || DisplayWidth(lines.back()) + 2 + DisplayWidth(piece) <= width)) {
            lines.back() += "  " + piece;
        } else {
            lines.push_back(piece);
        }
    }
    return lines;
}

} // namespace

std::vector<std::string> WatchFrameLines(const WatchFrameText &text, const LiveViewState &state,
                                         size_t width) {
    std::vector<std::string> lines = JoinFitting(text.status, width);
    if (!text.note.empty()) {
        std::vector<std::string> note = Wrapped(text.note, width);
        lines.insert(lines.end(), note.begin(), note.end());
    }
    if (!state.rows.empty()) {
        std::vector<std::string> table = FittedTable(state, width);
        lines.insert(lines.end(), table.begin(), table.end());
    }
    return lines;
}
