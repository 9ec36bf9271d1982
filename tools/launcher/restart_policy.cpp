// The pause grows with quick ends only: a server that ran for a minute and
// then crashed is started again after the first pause, as after a one-off.
#include "restart_policy.h"

#include <algorithm>

namespace {

constexpr uint64_t kMinuteMs = 60000;

void ForgetBefore(RestartHistory &history, uint64_t time) {
    while (!history.starts.empty() && history.starts.front() + kMinuteMs <= time) {
        history.starts.pop_front();
    }
}

} // namespace

void NoteStart(RestartHistory &history, uint64_t now) {
    ForgetBefore(history, now);
    history.starts.push_back(now);
}

uint64_t PauseAfterEnd(RestartHistory &history, uint64_t startedAt, uint64_t now) {
    history.quickEnds = now - startedAt >= kHealthyRunMs ? 1 : history.quickEnds + 1;
    // 1 s doubled per quick end before this one; past 2^6 s the longest pause holds.
    const unsigned doublings = std::min(history.quickEnds - 1, 6u);
    uint64_t pause = std::min(kFirstPauseMs << doublings, kLongestPauseMs);
    // A start at now + pause must leave fewer than the bound in the minute before it.
    ForgetBefore(history, now + pause);
    if (history.starts.size() >= kMaxStartsPerMinute) {
        const uint64_t allowed =
            history.starts[history.starts.size() - kMaxStartsPerMinute] + kMinuteMs;
        pause = std::max(pause, allowed - now);
    }
    return pause;
}
