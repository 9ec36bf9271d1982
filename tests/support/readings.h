// What a reading must be, computed independently of the module.
#pragma once

#include <cstdint>

// The single-precision 0.01 the module multiplies by (bit pattern 0x3C23D70A).
constexpr float kHundredth = 0.01f;

// raw x 0.01f, rounded once to single precision: the product of a 17-bit
// integer and a 24-bit mantissa is exact in double, so one conversion rounds it.
inline float ExactProduct(int32_t raw) {
    volatile double exact = double(raw) * double(kHundredth);
    return float(exact);
}
