// Escaping for terminals: printable UTF-8 passes, everything else is named.
#include "terminal_text.h"

#include <cstdio>
#include <vector>

namespace {

// The length of the valid UTF-8 sequence at text[at] (shortest form, no
// surrogates, at most U+10FFFF), or 0 when it is not one.
size_t Utf8Length(const std::string &text, size_t at, unsigned &codePoint) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length;
    unsigned min;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800, codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < min || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

std::string Escape(unsigned codePoint, bool rawByte) {
    switch (codePoint) {
    case 0x1B:
        return "\\e";
    case 0x07:
        return "\\a";
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    }
    char text[8];
    std::snprintf(text, sizeof text, rawByte || codePoint < 0x80 ? "\\x%02x" : "\\u%04x",
                  codePoint);
    return text;
}

// The input character at text[at] as shown, and its length in bytes.
std::string ShownCharacter(const std::string &text, size_t at, size_t &length) {
    unsigned codePoint = 0;
    length = Utf8Length(text, at, codePoint);
    if (length == 0) {
        length = 1;
        return Escape(static_cast<unsigned char>(text[at]), true);
    }
    const bool control = codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0);
    return control ? Escape(codePoint, false) : text.substr(at, length);
}

} // namespace

std::string TerminalText(const std::string &text, size_t maxChars) {
    std::string shown;
    size_t chars = 0;
    for (size_t at = 0, length = 0; at < text.size(); at += length) {
        if (chars == maxChars) {
            return shown + "...";
        }
        shown += ShownCharacter(text, at, length);
        ++chars;
    }
    return shown;
}

std::string TerminalTextBothEnds(const std::string &text, size_t maxChars) {
    std::vector<std::string> shown;
    for (size_t at = 0, length = 0; at < text.size(); at += length) {
        shown.push_back(ShownCharacter(text, at, length));
    }
    const bool cut = shown.size() > maxChars;
    const size_t head = cut ? (maxChars + 1) / 2 : shown.size();
    const size_t tail = cut ? maxChars - head : 0;
    std::string joined;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (i < head || i >= shown.size() - tail) {
            joined += shown[i];
        } else if (i == head) {
            joined += "...";
        }
    }
    return joined;
}

std::string PathText(const std::string &utf8Path) {
    return TerminalTextBothEnds(utf8Path, kPathChars);
}

std::string QuotedText(const std::string &utf8, size_t maxChars) {
    return "'" + TerminalText(utf8, maxChars) + "'";
}
