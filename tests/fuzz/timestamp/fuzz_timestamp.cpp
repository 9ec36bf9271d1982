// The recording's timestamps against a calendar computed another way (days
// counted by eras of 400 years). Checks: a stamp read from any text, turned
// back into fields and written, is that text; fields the formatter writes read
// back exactly when they are a real date and time, to the count of
// milliseconds the calendar gives; two stamps compare as their texts do.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "timestamp_text.h"

namespace {

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe);
}

TimestampFields FieldsOf(int64_t milliseconds) {
    TimestampFields t{};
    const int64_t z = milliseconds / 86400000 + DaysFromCivil(1601, 1, 1);
    int64_t rest = milliseconds % 86400000;
    const int64_t era = z / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    t.day = doy - (153 * mp + 2) / 5 + 1;
    t.month = mp < 10 ? mp + 3 : mp - 9;
    t.year = unsigned(yoe + era * 400 + (t.month <= 2));
    t.hour = unsigned(rest / 3600000), rest %= 3600000;
    t.minute = unsigned(rest / 60000), rest %= 60000;
    t.second = unsigned(rest / 1000);
    t.millisecond = unsigned(rest % 1000);
    return t;
}

int64_t MillisecondsOf(const TimestampFields &t) {
    const int64_t days = DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(1601, 1, 1);
    return ((days * 24 + t.hour) * 60 + t.minute) * 60000 + t.second * 1000 + t.millisecond;
}

bool IsRealTime(const TimestampFields &t) {
    if (t.year < 1601 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour > 23 || t.minute > 59 ||
        t.second > 59) {
        return false;
    }
    const unsigned nextYear = t.month == 12 ? t.year + 1 : t.year;
    const unsigned nextMonth = t.month == 12 ? 1 : t.month + 1;
    return t.day <= DaysFromCivil(nextYear, nextMonth, 1) - DaysFromCivil(t.year, t.month, 1);
}

// Fields of the formatter's width: four digits of year, three of milliseconds,
// two of the rest, so month 13 and 30 February come up too.
TimestampFields SomeFields(FuzzedDataProvider &input) {
    TimestampFields t{};
    t.year = input.ConsumeIntegralInRange<unsigned>(0, 9999);
    t.month = input.ConsumeIntegralInRange<unsigned>(0, 99);
    t.day = input.ConsumeIntegralInRange<unsigned>(0, 99);
    t.hour = input.ConsumeIntegralInRange<unsigned>(0, 99);
    t.minute = input.ConsumeIntegralInRange<unsigned>(0, 99);
    t.second = input.ConsumeIntegralInRange<unsigned>(0, 99);
    t.millisecond = input.ConsumeIntegralInRange<unsigned>(0, 999);
    return t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    int64_t milliseconds = 0;
    if (ParseTimestamp(text, milliseconds)) {
        Require(milliseconds >= 0, "a stamp is not before 1601");
        Require(FormatTimestamp(FieldsOf(milliseconds)) == text,
                "a stamp read and written again is the same text");
    }

    FuzzedDataProvider input(data, size);
    const TimestampFields a = SomeFields(input), b = SomeFields(input);
    const std::string textA = FormatTimestamp(a), textB = FormatTimestamp(b);
    int64_t msA = 0, msB = 0;
    const bool readA = ParseTimestamp(textA, msA), readB = ParseTimestamp(textB, msB);
    Require(readA == IsRealTime(a) && readB == IsRealTime(b),
            "a written stamp reads back exactly when it is a real date and time");
    if (readA && readB) {
        Require(msA == MillisecondsOf(a) && msB == MillisecondsOf(b),
                "a stamp reads as the calendar's count of milliseconds");
        Require((msA < msB) == (textA < textB) && (msA == msB) == (textA == textB),
                "stamps compare as their texts do");
    }
    return 0;
}
