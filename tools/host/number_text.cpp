// Float formatting with the C library, independent of the user's locale.
#include "number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string ShortestFloat(float value) {
    char text[32];
    if (!std::isfinite(value)) {
        std::snprintf(text, sizeof text, "%g", double(value));
        return text;
    }
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, double(value));
        if (std::strtof(text, nullptr) == value) {
            break;
        }
    }
    return text;
}

std::string FixedFloat(float value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, double(value));
    return text;
}
