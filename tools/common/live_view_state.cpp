// Row and history bookkeeping for a live view, free of timing and output.
#include "live_view_state.h"

namespace {

std::vector<std::string> KeysOf(const std::vector<SourceReading> &sources) {
    std::map<SourceGroup, int> seen;
    std::vector<std::string> keys;
    for (const SourceReading &source : sources) {
        keys.push_back(std::string(GroupName(source.group)) + " " +
                       std::to_string(++seen[source.group]));
    }
    return keys;
}

} // namespace

void AdvanceLiveView(LiveViewState &state, const Snapshot &snapshot) {
    state.sourcesNow = !snapshot.sources.empty();
    if (state.sourcesNow) {
        state.rows = snapshot.sources;
        state.rowKeys = KeysOf(snapshot.sources);
    } else {
        for (SourceReading &row : state.rows) {
            row.value = NO_READING;
        }
    }
    std::map<std::string, float> now;
    for (size_t i = 0; i < state.rows.size(); ++i) {
        now[state.rowKeys[i]] = state.rows[i].value;
        state.history[state.rowKeys[i]]; // a new source starts a history
    }
    for (auto it = state.history.begin(); it != state.history.end();) {
        auto found = now.find(it->first);
        it->second.push_back(found != now.end() ? found->second : NO_READING);
        while (it->second.size() > state.historyLength) {
            it->second.pop_front();
        }
        bool anyReading = false;
        for (float value : it->second) {
            anyReading = anyReading || HasReading(value);
        }
        // A source gone long enough to have only gaps is forgotten.
        it = anyReading || found != now.end() ? std::next(it) : state.history.erase(it);
    }
}

const std::deque<float> &RowHistory(const LiveViewState &state, size_t row) {
    static const std::deque<float> none;
    auto found = state.history.find(state.rowKeys[row]);
    return found == state.history.end() ? none : found->second;
}

std::string NoSourcesSentence(const LiveViewState &state, const std::string &diagnosis) {
    return (state.rows.empty() ? "Waiting for sources. " : "No sources now. ") + diagnosis;
}
