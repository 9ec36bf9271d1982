// Layout arithmetic of the watch's frame, free of the console: the width is
// whatever the caller read from it.
#include "watch_layout.h"

#include <algorithm>

#include "source_table.h"
#include "sparkline.h"
#include "text_output.h"

namespace {

constexpr size_t kSentenceWidth = 78;

bool Fits(const std::vector<std::string> &lines, size_t width) {
    for (const std::string &line : lines) {
        if (width != 0 && DisplayWidth(line) > width) {
            return false;
        }
    }
    return true;
}

// Shapes from the fullest down, each tried with its widest sparklines first.
std::vector<std::string> FittedTable(const WatchState &state, size_t width) {
    for (TableShape shape :
         {TableShape{true, true}, TableShape{true, false}, TableShape{false, false}}) {
        for (size_t spark = kWidestSparkline; spark >= kNarrowestSparkline; --spark) {
            std::vector<std::string> lines =
                SourceTableLines(state.rows, RowSparklines(state, spark), shape);
            if (Fits(lines, width)) {
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

std::vector<std::string> WatchFrameLines(const WatchFrameText &text, const WatchState &state,
                                         size_t width) {
    std::vector<std::string> lines = JoinFitting(text.status, width);
    if (!text.note.empty()) {
        size_t wrap = width == 0 ? kSentenceWidth : std::min(kSentenceWidth, width);
        for (const std::string &line : WrapWords(text.note, wrap)) {
            lines.push_back(line);
        }
    }
    if (!state.rows.empty()) {
        std::vector<std::string> table = FittedTable(state, width);
        lines.insert(lines.end(), table.begin(), table.end());
    }
    return lines;
}
