// The hostile monitor's values and the answers they allow, computed apart
// from the module from the bounds and the conversion rule alone.
#include "hostile_values.h"

#include "support/plugin.h"
#include "support/readings.h"

const std::vector<int32_t> kHostileTemps = {
    INT32_MIN, INT32_MAX, -57201, -30001, -30000, -251,  -1,    0,
    1,         455,       4550,   29999,  30000,  30001, 57200, 0x7F7FFFFF,
};

const std::vector<int32_t> kHostileFans = {
    INT32_MIN, INT32_MAX, -15001, -15000, -1, 0, 1, 900, 1200, 14999, 15000, 15001, 65535,
};

std::vector<int32_t> TornReads(const std::vector<int32_t> &written) {
    std::set<int32_t> reads;
    for (int32_t older : written) {
        for (int32_t newer : written) {
            for (int lowBytes = 0; lowBytes <= 4; ++lowBytes) {
                uint32_t low = lowBytes == 4 ? 0xFFFFFFFFu : (1u << (8 * lowBytes)) - 1;
                reads.insert(int32_t((uint32_t(newer) & low) | (uint32_t(older) & ~low)));
            }
        }
    }
    return {reads.begin(), reads.end()};
}

std::set<uint32_t> PossibleAnswers(const std::vector<int32_t> &temps,
                                   const std::vector<int32_t> &fans) {
    std::set<uint32_t> answers = {NO_READING_BITS};
    for (int32_t raw : TornReads(temps)) {
        if (raw >= -30000 && raw <= 30000) {
            answers.insert(FloatBits(ExactProduct(raw)));
        }
    }
    for (int32_t raw : TornReads(fans)) {
        if (raw >= -15000 && raw <= 15000) {
            answers.insert(FloatBits(float(raw)));
        }
    }
    return answers;
}
