// Float formatting with the C library, independent of the user's locale.
#include "number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string ShortestFloat(float value) {
    char text[64];
    // Plain decimals where they stay short; exponents only for the far ends.
    double size = std::fabs(double(value));
    bool plain = std::isfinite(value) && (value == 0 || (size >= 1e-4 && size < 1e15));
    for (int digits = plain ? 0 : 1; digits <= (plain ? 16 : 9); ++digits) {
        std::snprintf(text, sizeof text, plain ? "%.*f" : "%.*g", digits, double(value));
        if (!std::isfinite(value) || std::strtof(text, nullptr) == value) {
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

std::string ResolutionText(float value, int decimals) {
    if (!std::isfinite(value)) {
        return ShortestFloat(value);
    }
    std::string text = FixedFloat(value, decimals);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" ? "0" : text;
}

std::string Counted(size_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
