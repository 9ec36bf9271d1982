// Measures pieces of code side by side: batches of calls take turns round after
// round, each round in another order, so noise on the machine falls on all alike.
#pragma once

#include <functional>
#include <vector>

// Runs the code under test the given number of times.
using Batch = std::function<void(int calls)>;

// Nanoseconds per call of each batch, one entry per round.
struct Interleaved {
    std::vector<std::vector<double>> ns; // [batch][round]

    double MedianNs(size_t batch) const;
    // Median over rounds of subject / floor, each round paired.
    double Ratio(size_t subject, size_t floor) const;
    // Median over rounds of subject - floor: what the subject spends beyond the floor.
    double NsBeyond(size_t subject, size_t floor) const;
};

Interleaved MeasureInterleaved(const std::vector<Batch> &batches, int callsPerBatch, int rounds);

struct SideBySide {
    double floorNs;   // median per call of the floor
    double subjectNs; // median per call of the code under test
    double ratio;     // median over rounds of subject / floor, each round paired
    double nsBeyond;  // median over rounds of subject - floor
};

SideBySide Compare(const Interleaved &measured, size_t subject, size_t floor);
