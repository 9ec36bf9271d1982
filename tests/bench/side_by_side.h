// Measures two pieces of code side by side: batches of calls alternate between
// them round after round, so noise on the machine falls on both alike.
#pragma once

#include <functional>

// Runs the code under test the given number of times.
using Batch = std::function<void(int calls)>;

struct SideBySide {
    double floorNs;   // median per call of the floor
    double subjectNs; // median per call of the code under test
    double ratio;     // median over rounds of subject / floor, each round paired
};

SideBySide MeasureSideBySide(const Batch &floor, const Batch &subject, int callsPerBatch,
                             int rounds);
