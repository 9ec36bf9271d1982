// Untrusted text made safe for a terminal. The first byte is the limit of
// characters, the rest the text. Checks: the output is valid UTF-8 with no C0
// or C1 control character and no DEL; text that is all printable UTF-8 within
// the limit passes unchanged; a cut keeps the limit's characters and ends in
// "...", and no character grows past "\u009b". Cut at both ends
// (TerminalTextBothEnds), the same holds, and printable text keeps its start
// and its end around the "...".
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "terminal_text.h"

namespace {

// The code point at text[at] and the length of its sequence, 0 when the bytes
// there are no well-formed UTF-8 (Unicode's table of well-formed sequences).
size_t Decode(const std::string &text, size_t at, uint32_t &cp) {
    const unsigned char b0 = static_cast<unsigned char>(text[at]);
    auto byte = [&](size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
    };
    auto in = [](unsigned c, unsigned lo, unsigned hi) { return c >= lo && c <= hi; };
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    if (in(b0, 0xC2, 0xDF) && in(byte(1), 0x80, 0xBF)) {
        cp = (b0 & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
        return 2;
    }
    const unsigned lo1 = b0 == 0xE0 ? 0xA0 : b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned hi1 = b0 == 0xED ? 0x9F : b0 == 0xF4 ? 0x8F : 0xBF;
    if (in(b0, 0xE0, 0xEF) && in(byte(1), lo1, hi1) && in(byte(2), 0x80, 0xBF)) {
        cp = (b0 & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
        return 3;
    }
    if (in(b0, 0xF0, 0xF4) && in(byte(1), lo1, hi1) && in(byte(2), 0x80, 0xBF) &&
        in(byte(3), 0x80, 0xBF)) {
        cp = (b0 & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 | (byte(2) & 0x3Fu) << 6 |
             (byte(3) & 0x3Fu);
        return 4;
    }
    return 0;
}

bool IsControl(uint32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t limit = data[0];
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string shown = TerminalText(text, limit);
    const std::string bothEnds = TerminalTextBothEnds(text, limit);

    for (const std::string *output : {&shown, &bothEnds}) {
        for (size_t at = 0; at < output->size();) {
            uint32_t cp = 0;
            const size_t length = Decode(*output, at, cp);
            Require(length != 0, "the output is valid UTF-8");
            Require(!IsControl(cp), "the output has no control character");
            at += length;
        }
    }
    size_t chars = 0, at = 0;
    bool printable = true;
    while (at < text.size() && chars < limit) {
        uint32_t cp = 0;
        const size_t length = Decode(text, at, cp);
        printable = printable && length != 0 && !IsControl(cp);
        at += length == 0 ? 1 : length;
        ++chars;
    }
    const bool cut = at < text.size();
    if (printable && !cut) {
        Require(shown == text, "printable text within the limit passes unchanged");
    }
    if (printable && cut) {
        Require(shown == text.substr(0, at) + "...", "a cut keeps the limit's characters");
    }
    Require(shown.size() <= 6 * chars + (cut ? 3 : 0), "no character grows past six bytes");
    Require(bothEnds.size() <= 6 * chars + (cut ? 3 : 0), "both ends: no more than the limit");
    if (!cut) {
        Require(bothEnds == shown, "within the limit, both ends is the whole text");
    } else if (std::all_of(text.begin(), text.end(),
                           [](char c) { return c >= 0x20 && c < 0x7F; })) {
        // Printable ASCII: one byte a character, so the halves are plain substrings.
        const size_t head = (limit + 1) / 2, tail = limit - head;
        Require(bothEnds == text.substr(0, head) + "..." + text.substr(text.size() - tail),
                "both ends keep the start and the end");
    }
    return 0;
}
