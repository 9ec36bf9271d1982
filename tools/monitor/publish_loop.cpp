// Waits for the next frame while serving the monitor window's messages, so the
// window stays responsive, and wakes at once when asked to stop.
#include "publish_loop.h"

#include <algorithm>

namespace {

// Waits up to milliseconds for the stop event while serving the window's messages.
bool WaitForStop(HANDLE stopEvent, DWORD milliseconds) {
    DWORD until = GetTickCount() + milliseconds;
    for (;;) {
        DWORD now = GetTickCount();
        DWORD left = int32_t(until - now) > 0 ? until - now : 0;
        DWORD woke = MsgWaitForMultipleObjects(1, &stopEvent, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            return true;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        if (woke == WAIT_TIMEOUT) {
            return false;
        }
    }
}

// Milliseconds since started, without the 49-day wrap of GetTickCount.
int64_t Elapsed(ULONGLONG started) {
    return int64_t(GetTickCount64() - started);
}

} // namespace

LoopEnd RunPublishLoop(BlockPublisher &publisher, const MonitorOptions &options, HANDLE stopEvent,
                       int64_t firstHoldMs, const NextFrame &next) {
    const ULONGLONG started = GetTickCount64();
    const int64_t limitMs = int64_t(options.durationSeconds * 1000.0);
    int64_t due = firstHoldMs; // when the next frame is due, since the start
    for (;;) {
        int64_t wait = due;
        if (limitMs > 0) {
            wait = std::min(wait, limitMs);
        }
        // Long waits in pieces: a DWORD of milliseconds ends at 49 days.
        for (int64_t now = Elapsed(started); now < wait; now = Elapsed(started)) {
            if (WaitForStop(stopEvent, DWORD(std::min<int64_t>(wait - now, 86400000)))) {
                return LoopEnd::Stopped;
            }
        }
        if (WaitForStop(stopEvent, 0)) {
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
