// Time as the tools wait it out: milliseconds on GetTickCount64, which does not
// wrap after 49 days as GetTickCount does, and waits cut into pieces a DWORD
// of milliseconds can hold. One Deadline for --watch, the monitor's publishing
// and --serve.
#pragma once

#include <windows.h>

#include <cstdint>

// Milliseconds on the system's monotonic clock.
uint64_t NowMs();

struct Deadline {
    uint64_t atMs = 0;  // on NowMs()'s clock
    bool never = false; // no end: wait until stopped
};

// The moment milliseconds from now (or from start, on NowMs()'s clock).
Deadline DeadlineIn(uint64_t milliseconds);
Deadline DeadlineAt(uint64_t atMs);

// seconds from now; 0 or less: never (the tools' "0: until stopped").
Deadline DeadlineAfterSeconds(double seconds);

bool Passed(const Deadline &deadline);

// The wait for one call of a wait function: what is left, at most a day
// (INFINITE for never), so a long wait is a loop of such calls.
DWORD WaitSlice(const Deadline &deadline);

// Waits for event until the deadline: true when the event came first (or the
// event cannot be waited on), false when the deadline passed.
bool WaitForEventUntil(HANDLE event, const Deadline &deadline);
