// Interleaved timing with the performance counter; medians resist outliers
// such as a batch that met a context switch.
#include "side_by_side.h"

#include <windows.h>

#include <algorithm>

namespace {

double NsPerCall(const Batch &batch, int calls) {
    static const double ticksPerNs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return double(frequency.QuadPart) / 1e9;
    }();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    batch(calls);
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) / ticksPerNs / calls;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Each round's values of two batches, combined pairwise.
template <typename Combine>
double MedianOfPairs(const Interleaved &m, size_t a, size_t b, Combine combine) {
    std::vector<double> values;
    for (size_t round = 0; round < m.ns[a].size(); ++round) {
        values.push_back(combine(m.ns[a][round], m.ns[b][round]));
    }
    return Median(values);
}

} // namespace

double Interleaved::MedianNs(size_t batch) const {
    return Median(ns[batch]);
}

double Interleaved::Ratio(size_t subject, size_t floor) const {
    return MedianOfPairs(*this, subject, floor, [](double s, double f) { return s / f; });
}

double Interleaved::NsBeyond(size_t subject, size_t floor) const {
    return MedianOfPairs(*this, subject, floor, [](double s, double f) { return s - f; });
}

Interleaved MeasureInterleaved(const std::vector<Batch> &batches, int callsPerBatch, int rounds) {
    for (const Batch &batch : batches) {
        batch(callsPerBatch); // warm caches and lazy state on every side
    }
    size_t n = batches.size();
    Interleaved m;
    m.ns.assign(n, std::vector<double>(size_t(rounds)));
    for (int round = 0; round < rounds; ++round) {
        // Every batch goes first, and runs forwards and backwards, equally often.
        for (size_t k = 0; k < n; ++k) {
            size_t step = round % 2 == 0 ? k : n - 1 - k;
            size_t batch = (step + size_t(round / 2)) % n;
            m.ns[batch][size_t(round)] = NsPerCall(batches[batch], callsPerBatch);
        }
    }
    return m;
}

SideBySide Compare(const Interleaved &measured, size_t subject, size_t floor) {
    return {measured.MedianNs(floor), measured.MedianNs(subject), measured.Ratio(subject, floor),
            measured.NsBeyond(subject, floor)};
}
