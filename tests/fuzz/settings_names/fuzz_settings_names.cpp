// The names kdmonitor --write-settings writes, read back as the plug-in's
// profile reader reads a value: the text after '=' without the whitespace
// around it, one pair of like quotes (' or ") stripped, at most 31 characters
// kept into its 32-byte buffer - where a stripped value that fills the buffer
// loses its last character, as Wine's reader has it. Windows-1252 stands in
// for the ANSI code page (the tests' own). Checks: the written value is one
// line of no control character, and it reads back as the name made safe
// (controls as spaces, trimmed), whole when that fits 30 characters, else cut
// to 31 or 30 characters and trimmed.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "settings_name.h"

namespace {

// UTF-8 to UTF-16, U+FFFD for each byte that starts no well-formed sequence.
std::wstring FromUtf8(const std::string &utf8) {
    std::wstring wide;
    for (size_t at = 0; at < utf8.size();) {
        const unsigned char b0 = static_cast<unsigned char>(utf8[at]);
        auto cont = [&](size_t i, unsigned lo, unsigned hi) {
            if (at + i >= utf8.size()) {
                return false;
            }
            const unsigned char b = static_cast<unsigned char>(utf8[at + i]);
            return b >= lo && b <= hi;
        };
        size_t length = 0;
        uint32_t cp = 0xFFFD;
        if (b0 < 0x80) {
            length = 1, cp = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF && cont(1, 0x80, 0xBF)) {
            length = 2, cp = (b0 & 0x1Fu) << 6 | (utf8[at + 1] & 0x3F);
        } else if (b0 >= 0xE0 && b0 <= 0xEF &&
                   cont(1, b0 == 0xE0 ? 0xA0 : 0x80, b0 == 0xED ? 0x9F : 0xBF) &&
                   cont(2, 0x80, 0xBF)) {
            length = 3,
            cp = (b0 & 0x0Fu) << 12 | (utf8[at + 1] & 0x3Fu) << 6 | (utf8[at + 2] & 0x3F);
        } else if (b0 >= 0xF0 && b0 <= 0xF4 &&
                   cont(1, b0 == 0xF0 ? 0x90 : 0x80, b0 == 0xF4 ? 0x8F : 0xBF) &&
                   cont(2, 0x80, 0xBF) && cont(3, 0x80, 0xBF)) {
            length = 4, cp = (b0 & 0x07u) << 18 | (utf8[at + 1] & 0x3Fu) << 12 |
                             (utf8[at + 2] & 0x3Fu) << 6 | (utf8[at + 3] & 0x3F);
        }
        at += length == 0 ? 1 : length;
        if (cp >= 0x10000) {
            wide += wchar_t(0xD800 + ((cp - 0x10000) >> 10));
            wide += wchar_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            wide += wchar_t(cp);
        }
    }
    return wide;
}

// Windows-1252's bytes 0x80 to 0x9F; 0 where the code page has none.
const uint16_t kHigh1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string ToAnsi(const std::wstring &wide) {
    std::string ansi;
    for (size_t i = 0; i < wide.size(); ++i) {
        const uint32_t c = uint32_t(wide[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            ++i; // a pair is one character the code page lacks
        }
        char byte = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            byte = char(c);
        }
        for (unsigned j = 0; j < 32; ++j) {
            if (kHigh1252[j] == c) {
                byte = char(0x80 + j);
            }
        }
        ansi += byte;
    }
    return ansi;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string Trimmed(const std::string &text) {
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) {
        ++first;
    }
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

// What the plug-in's 32-byte buffer receives for the value.
std::string ReadBack(const std::string &written) {
    std::string value = Trimmed(written);
    const size_t buffer = 32;
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        std::string rest = value.substr(1); // the closing quote still on
        std::string copied = rest.substr(0, buffer - 1);
        if (buffer >= rest.size()) {
            copied.pop_back();
        }
        return copied;
    }
    return value.substr(0, buffer - 1);
}

std::string TrimmedRight(std::string text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.pop_back();
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string utf8(reinterpret_cast<const char *>(data), size);
    const NameCodePage cp1252{FromUtf8, ToAnsi};
    const std::string written = SettingsNameIn(utf8, cp1252);
    for (unsigned char c : written) {
        Require(c >= 0x20 && c != 0x7F, "a written name has no control character");
    }
    Require(written.size() <= 33, "a written name is at most 31 characters and its quotes");

    std::wstring safe = FromUtf8(utf8);
    for (wchar_t &c : safe) {
        c = (c < 0x20 || c == 0x7F) ? L' ' : c;
    }
    const std::string full = Trimmed(ToAnsi(safe));
    const std::string read = ReadBack(written);
    if (full.size() <= 30) {
        Require(read == full, "a name of at most 30 characters reads back whole");
    } else {
        Require(read == TrimmedRight(full.substr(0, 31)) ||
                    read == TrimmedRight(full.substr(0, 30)),
                "a longer name reads back cut to 31 or 30 characters");
    }
    return 0;
}
