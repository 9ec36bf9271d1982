// Interleaved timing with the performance counter; medians resist outliers
// such as a batch that met a context switch.
#include "side_by_side.h"

#include <windows.h>

#include <algorithm>
#include <vector>

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

} // namespace

SideBySide MeasureSideBySide(const Batch &floor, const Batch &subject, int callsPerBatch,
                             int rounds) {
    floor(callsPerBatch); // warm caches and lazy state on both sides
    subject(callsPerBatch);
    std::vector<double> floors, subjects, ratios;
    for (int round = 0; round < rounds; ++round) {
        double f, s;
        if (round % 2 == 0) {
            f = NsPerCall(floor, callsPerBatch);
            s = NsPerCall(subject, callsPerBatch);
        } else {
            s = NsPerCall(subject, callsPerBatch);
            f = NsPerCall(floor, callsPerBatch);
        }
        floors.push_back(f);
        subjects.push_back(s);
        ratios.push_back(s / f);
    }
    return {Median(floors), Median(subjects), Median(ratios)};
}
