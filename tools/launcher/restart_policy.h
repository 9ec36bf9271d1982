// When kdserve starts its server again after it ended: a pause that doubles
// with each quick end in a row (1 s, 2 s, 4 s ... at most 60 s), back to 1 s
// once a run lasted a minute, and never more than kMaxStartsPerMinute starts
// within any minute. Plain arithmetic on milliseconds; portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

constexpr uint64_t kFirstPauseMs = 1000;
constexpr uint64_t kLongestPauseMs = 60000;
// A run at least this long counts as healthy: the next pause is the first again.
constexpr uint64_t kHealthyRunMs = 60000;
constexpr size_t kMaxStartsPerMinute = 5;

struct RestartHistory {
    unsigned quickEnds = 0;      // runs in a row that ended before kHealthyRunMs
    std::deque<uint64_t> starts; // when the server was started, within the last minute
};

// Records a start at `now`.
void NoteStart(RestartHistory &history, uint64_t now);

// The server, started at startedAt, ended at now: how long to wait before
// starting it again.
uint64_t PauseAfterEnd(RestartHistory &history, uint64_t startedAt, uint64_t now);
