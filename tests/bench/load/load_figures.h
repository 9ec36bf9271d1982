// The serve benchmark's figures per answer, and the rows they make: each as a
// ratio to the reference server's 404, with its target and verdict.
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

struct ResultRow {
    std::string name;    // "404, p50 vs reference 404", "reference 404, p50 ms", ...
    double value = 0;
    std::string target;  // "<= 1.5", ">= 0.5" or ""
    std::string verdict; // "within" or "OVER" (<=), "met" or "UNDER" (>=), "FAILED", "" (none)
};

// Every figure of every answer; the ratios are to the first answer's (the
// reference's 404). A failed request voids its answer's verdicts, and the
// reference's void them all.
std::vector<ResultRow> ResultRows(const std::vector<LoadFigures> &figures);

// "within" or "OVER" for a value against "<= X", "met" or "UNDER" against
// ">= X"; "" without a target.
std::string Judge(double value, const std::string &target);
