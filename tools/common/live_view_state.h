// What a live view (kdhost --watch, kdview) keeps from one redraw to the next:
// the sources it shows and each one's recent values, carried across monitor
// stops and count changes.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "source_snapshot.h"

struct LiveViewState {
    size_t historyLength = 24;
    std::vector<SourceReading> rows;
    std::vector<std::string> rowKeys;
    // Keyed by group and number within the group ("fan 2"), which stay put
    // when the monitor changes how many temperatures come before the fans.
    std::map<std::string, std::deque<float>> history;
    bool sourcesNow = false; // the last snapshot had sources
};

// Takes in one snapshot. With sources, the rows become exactly those sources;
// with none (the monitor stopped), the last rows stay, each with no reading.
// Every known history gains one value a redraw, a gap where there was none.
void AdvanceLiveView(LiveViewState &state, const Snapshot &snapshot);

// The recent values of the source shown in row i, oldest first; empty when it has none.
const std::deque<float> &RowHistory(const LiveViewState &state, size_t row);

// Why there are no sources, for the top of the view: the diagnosis of the
// shared block, after a word on whether sources were ever seen.
std::string NoSourcesSentence(const LiveViewState &state, const std::string &diagnosis);
