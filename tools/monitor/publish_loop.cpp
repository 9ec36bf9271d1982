// Waits for the next frame while serving the monitor window's messages, so the
// window stays responsive, and wakes at once when asked to stop.
#include "publish_loop.h"

#include <algorithm>

#include "deadline.h"

namespace {

// Waits for the stop event until the deadline while serving the window's
// messages; true when it came (or cannot be waited on). The stop is looked at
// once even when the deadline has passed already.
bool WaitForStop(HANDLE stopEvent, const Deadline &until) {
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &stopEvent, FALSE, WaitSlice(until), QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) {
            return true;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        if (woke == WAIT_TIMEOUT && Passed(until)) {
            return false;
        }
    }
}

// Milliseconds since started, on the Deadline's clock.
int64_t Elapsed(uint64_t started) {
    return int64_t(NowMs() - started);
}

} // namespace

LoopEnd RunPublishLoop(BlockPublisher &publisher, const MonitorOptions &options, HANDLE stopEvent,
                       int64_t firstHoldMs, const NextFrame &next) {
    const uint64_t started = NowMs();
    const int64_t limitMs = int64_t(options.durationSeconds * 1000.0);
    int64_t due = firstHoldMs; // when the next frame is due, since the start
    for (;;) {
        int64_t wait = due;
        if (limitMs > 0) {
            wait = std::min(wait, limitMs);
        }
        if (WaitForStop(stopEvent, DeadlineAt(started + uint64_t(std::max<int64_t>(wait, 0))))) {
            return LoopEnd::Stopped;
        }
        if (limitMs > 0 && Elapsed(started) >= limitMs) {
            return LoopEnd::DurationOver;
        }
        Frame frame;
        if (!next(frame)) {
            return LoopEnd::SourceEnded;
        }
        PublishReadings(publisher, options, frame.readings.temps, frame.readings.fans);
        // A frame that took longer than its hold does not make the next ones
        // late; one of no time (a recording whose clock went back) still lets
        // a millisecond pass, so a loop of such frames cannot spin.
        due = std::max(due + std::max<int64_t>(frame.holdMs, 1), Elapsed(started));
    }
}
