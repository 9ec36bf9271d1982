// The grammar is checked by hand first, since std::from_chars alone would take
// "inf", "nan", ".5" and "5."; from_chars then reads the number exactly.
#include "number_reader.h"

#include <charconv>
#include <cmath>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The count of digits from at on.
size_t DigitRun(std::string_view text, size_t at) {
    size_t end = at;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return end - at;
}

// Where the text's '.' is (npos for none), when it is [-]digits[.digits] at
// all; the sign only where signed is asked for.
bool Grammar(std::string_view text, bool signedNumber, bool decimal, size_t &point) {
    size_t at = signedNumber && !text.empty() && text[0] == '-' ? 1 : 0;
    const size_t whole = DigitRun(text, at);
    if (whole == 0) {
        return false;
    }
    at += whole;
    point = std::string_view::npos;
    if (decimal && at < text.size() && text[at] == '.') {
        point = at;
        const size_t fraction = DigitRun(text, at + 1);
        if (fraction == 0) {
            return false;
        }
        at += 1 + fraction;
    }
    return at == text.size();
}

// The whole text as one number; false past what the type holds.
template <typename Number> bool WholeText(std::string_view text, Number &out) {
    const std::from_chars_result read =
        std::from_chars(text.data(), text.data() + text.size(), out);
    return read.ec == std::errc() && read.ptr == text.data() + text.size();
}

bool WholeText(std::string_view text, double &out) {
    const std::from_chars_result read =
        std::from_chars(text.data(), text.data() + text.size(), out, std::chars_format::fixed);
    return read.ec == std::errc() && read.ptr == text.data() + text.size() && std::isfinite(out);
}

// A number of the grammar (signed or digits alone, with decimals or without)
// within [low, high].
template <typename Number>
NumberRead ReadNumber(std::string_view text, bool signedNumber, bool decimal, Number low,
                      Number high, Number &out) {
    size_t point = 0;
    Number value = 0;
    if (!Grammar(text, signedNumber, decimal, point)) {
        return NumberRead::NoNumber;
    }
    if (!WholeText(text, value) || value < low || value > high) {
        return NumberRead::OutOfRange;
    }
    out = value;
    return NumberRead::Taken;
}

} // namespace

NumberRead ReadDigits(std::string_view text, uint64_t high, uint64_t &out) {
    return ReadNumber<uint64_t>(text, false, false, 0, high, out);
}

NumberRead ReadWhole(std::string_view text, int64_t low, int64_t high, int64_t &out) {
    return ReadNumber<int64_t>(text, true, false, low, high, out);
}

NumberRead ReadDecimal(std::string_view text, double low, double high, double &out) {
    return ReadNumber<double>(text, true, true, low, high, out);
}

NumberRead ReadScaled(std::string_view text, unsigned decimals, int64_t low, int64_t high,
                      int64_t &out) {
    size_t point = 0;
    if (!Grammar(text, true, decimals > 0, point)) {
        return NumberRead::NoNumber;
    }
    const size_t fraction = point == std::string_view::npos ? 0 : text.size() - point - 1;
    if (fraction > decimals) {
        return NumberRead::NoNumber;
    }
    const bool negative = text[0] == '-';
    const std::string_view whole =
        text.substr(negative ? 1 : 0,
                    (point == std::string_view::npos ? text.size() : point) - (negative ? 1 : 0));
    // The magnitude in units of the last decimal, as digits of the whole part
    // then those of the fraction padded with zeros; past 19 digits no int64
    // holds it.
    uint64_t magnitude = 0;
    if (!WholeText(whole, magnitude)) {
        return NumberRead::OutOfRange;
    }
    for (unsigned d = 0; d < decimals; ++d) {
        const uint64_t digit = d < fraction ? uint64_t(text[point + 1 + d] - '0') : 0;
        if (magnitude > (UINT64_MAX - digit) / 10) {
            return NumberRead::OutOfRange;
        }
        magnitude = magnitude * 10 + digit;
    }
    // Both bounds lie within int64, so a magnitude past them is out of range
    // before it is negated.
    const uint64_t limit =
        negative ? uint64_t(0) - uint64_t(low < 0 ? low : 0) : uint64_t(high > 0 ? high : 0);
    if (magnitude > limit) {
        return NumberRead::OutOfRange;
    }
    const int64_t value = negative ? int64_t(uint64_t(0) - magnitude) : int64_t(magnitude);
    if (value < low || value > high) {
        return NumberRead::OutOfRange;
    }
    out = value;
    return NumberRead::Taken;
}
