// The serve benchmark's figures per answer, as ratios to the reference
// server's 404: the table people read and the rows ./run puts side by side.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Targets {
    double p50 = 0;        // the most the p50 may be (0: shown, not held to a target)
    double throughput = 0; // the least the 8-client throughput may be (0: none)
};

struct LoadFigures {
    std::string what;      // "reference 404", "404", "/metrics", ...
    double p50Ms = 0;      // of the sequential requests
    double p99Ms = 0;
    size_t sequential = 0; // how many they were
    double perSecond = 0;  // answered by the clients at once
    uint64_t failed = 0;   // answers missing, broken or of another status
    std::string firstFailure;
    Targets targets;
};

// Percentiles by nearest rank over the sequential times; the throughput over
// the phases' time.
LoadFigures Summarize(std::vector<double> ms, uint64_t concurrent, double seconds);

// The table, each row's ratios to the first one's (the reference's 404), with
// a verdict on each target, or noVerdict in its place when that is not empty.
std::string FiguresTable(const std::vector<LoadFigures> &figures, const std::string &noVerdict);

// One row per figure, tab-separated: what it is, its value, its target
// ("<= 1.5", ">= 0.5" or ""). False when the file cannot be written.
bool WriteResults(const std::string &path, const std::vector<LoadFigures> &figures);
