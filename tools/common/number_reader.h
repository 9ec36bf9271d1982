// The one grammar of the numbers the tools read, wherever they come from: the
// command line, recordings, the kernel's sensor files, timestamps and listen
// addresses. A number is ASCII digits, for a signed one after an optional '-',
// for a decimal with one '.' between digits; it is the whole text and nothing
// else: no space, no '+', no exponent, no hex, no "inf" or "nan", no NUL.
// Read with std::from_chars, so no locale applies. Portable.
#pragma once

#include <cstdint>
#include <string_view>

enum class NumberRead {
    Taken,      // the number, within the bounds
    NoNumber,   // the text is no number of the grammar
    OutOfRange, // a number of the grammar outside the bounds
};

// Digits only: "0042" is 42.
NumberRead ReadDigits(std::string_view text, uint64_t high, uint64_t &out);

// A whole number: "-42", "900".
NumberRead ReadWhole(std::string_view text, int64_t low, int64_t high, int64_t &out);

// A decimal number: "45.5", "-2", "0.25". Rounded to the nearest double.
NumberRead ReadDecimal(std::string_view text, double low, double high, double &out);

// A decimal number of at most `decimals` decimals, exactly, in units of the
// last one: with 2, "45.5" is 4550 and "-2.51" is -251; "45.555" is none.
NumberRead ReadScaled(std::string_view text, unsigned decimals, int64_t low, int64_t high,
                      int64_t &out);
