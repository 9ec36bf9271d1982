// Shows the raw numbers next to what they mean, so a monitor's author can see
// at once which field is wrong.
#include "diagnosis_report.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "monitor_link/block_fields.h"
#include "monitor_link/monitor_liveness.h"
#include "text_output.h"

namespace {

std::string Line(const char *format, ...) __attribute__((format(printf, 1, 2)));

std::string Line(const char *format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return std::string(text) + "\n";
}

// The counted slots of one group; all of them when the count is past the slots.
std::string Slots(const char *title, const void *packedSlots, unsigned count, bool hundredths) {
    int32_t slots[SENSOR_SLOTS]; // aligned, from the packed block
    std::memcpy(slots, packedSlots, sizeof slots);
    if (count == 0) {
        return Line("%s: none", title);
    }
    unsigned shown = ClampCount(uint16_t(count));
    std::string text = Line("%s:", title);
    if (CountAboveSlots(count)) {
        text += Line("  (the count %u is above %d: all %d slots shown)", count, SENSOR_SLOTS,
                     SENSOR_SLOTS);
    }
    for (unsigned i = 0; i < shown; ++i) {
        text += hundredths ? Line("  [%2u] %11ld  = %.2f", i, long(slots[i]), slots[i] / 100.0)
                           : Line("  [%2u] %11ld", i, long(slots[i]));
    }
    return text;
}

} // namespace

std::string DiagnosisReport(const BlockCopy &copy, const Diagnosis &diagnosis) {
    std::string text;
    for (const std::string &line : WrapWords(diagnosis.sentence, 78)) {
        text += line + "\n";
    }
    text += Line("finding: %s", FindingName(diagnosis.finding));
    if (copy.access != BlockAccess::Copied) {
        return text;
    }
    const SharedSensorBlock &b = copy.block;
    text += Line("\nShared block \"%s\" (%lu bytes readable):", SHARED_BLOCK_NAME,
                 static_cast<unsigned long>(copy.viewBytes));
    text += Line("  version   %u", unsigned(b.version));
    text += Line("  flags     0x%02X  bit 0 %s", unsigned(b.flags),
                 FlagSaysPublishing(b.flags) ? "set: publishing" : "clear: not publishing");
    text += Line("  byte 3    0x%02X", unsigned(b.reserved));
    text += Line("  size      %lu", static_cast<unsigned long>(b.size));
    text += copy.windowExists
                ? Line("  hwnd      0x%08lX  a window of process %lu",
                       static_cast<unsigned long>(b.hwnd),
                       static_cast<unsigned long>(copy.windowProcess))
                : Line("  hwnd      0x%08lX  no such window", static_cast<unsigned long>(b.hwnd));
    text += Line("  numTemps  %u", unsigned(b.numTemps));
    text += Line("  numFans   %u", unsigned(b.numFans));
    text += Line("  numExtra  %u", unsigned(b.numExtra));
    text += Slots("Temperatures (hundredths of a degree)", &b.temps, b.numTemps, true);
    text += Slots("Fans (RPM)", &b.fans, b.numFans, false);
    text += Slots("Extra readings", &b.extra, b.numExtra, false);
    return text;
}
