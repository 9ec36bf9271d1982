// A slice ends at a day so a deadline past 49 days is still reached piece by
// piece, and never reaches INFINITE by accident.
#include "deadline.h"

#include <algorithm>

namespace {

constexpr uint64_t kLongestSliceMs = 24ull * 60 * 60 * 1000;

} // namespace

uint64_t NowMs() {
    return GetTickCount64();
}

Deadline DeadlineIn(uint64_t milliseconds) {
    return DeadlineAt(NowMs() + milliseconds);
}

Deadline DeadlineAt(uint64_t atMs) {
    Deadline deadline;
    deadline.atMs = atMs;
    return deadline;
}

Deadline DeadlineAfterSeconds(double seconds) {
    if (!(seconds > 0)) {
        Deadline never;
        never.never = true;
        return never;
    }
    return DeadlineIn(uint64_t(seconds * 1000.0));
}

bool Passed(const Deadline &deadline) {
    return !deadline.never && NowMs() >= deadline.atMs;
}

DWORD WaitSlice(const Deadline &deadline) {
    if (deadline.never) {
        return INFINITE;
    }
    const uint64_t now = NowMs();
    return now >= deadline.atMs ? 0 : DWORD(std::min(deadline.atMs - now, kLongestSliceMs));
}

bool WaitForEventUntil(HANDLE event, const Deadline &deadline) {
    for (;;) {
        // An event that cannot be waited on ends the wait as the event would,
        // rather than spinning on a wait that returns at once.
        if (WaitForSingleObject(event, WaitSlice(deadline)) != WAIT_TIMEOUT) {
            return true;
        }
        if (Passed(deadline)) {
            return false;
        }
    }
}
