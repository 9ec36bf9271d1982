// Smooth drift around the published values, a full swing in about 16 seconds:
// temperatures by up to 8 degrees, fans by up to 25 percent, so the change shows
// even on a host's fixed scales; a stopped fan stays stopped.
#include "simulated_values.h"

#include <cmath>

namespace {

std::vector<int32_t> Drift(const std::vector<int32_t> &base, double seconds, bool isFan) {
    std::vector<int32_t> values;
    for (size_t i = 0; i < base.size(); ++i) {
        double wave = std::sin(seconds / 2.5 + double(i) * 1.7);
        double amplitude = isFan ? std::fabs(base[i]) * 0.25 : 800.0;
        values.push_back(int32_t(std::lround(base[i] + amplitude * wave)));
    }
    return values;
}

} // namespace

Readings SimulatedReadings(const MonitorOptions &options, double secondsSinceStart) {
    if (!options.animate || secondsSinceStart <= 0) {
        return {options.temps, options.fans};
    }
    return {Drift(options.temps, secondsSinceStart, false),
            Drift(options.fans, secondsSinceStart, true)};
}
