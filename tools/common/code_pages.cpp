// A UTF-8 ANSI code page (a Windows option) takes no best-fit flag and no
// default character: both are passed only for the single- and double-byte
// code pages.
#include "code_pages.h"

namespace {

bool IsUtf8(UINT codePage) {
    return codePage == CP_UTF8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
}

// One call of the platform's conversion into out; the bytes it needs.
int NarrowInto(const std::wstring &wide, UINT codePage, char *out, int size, BOOL *lossy) {
    const bool utf8 = IsUtf8(codePage);
    return WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide.data(),
                               int(wide.size()), out, size, utf8 ? nullptr : "?",
                               utf8 ? nullptr : lossy);
}

} // namespace

std::wstring Widen(const std::string &text, UINT codePage) {
    if (text.empty()) {
        return std::wstring();
    }
    int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], length);
    }
    return wide;
}

std::string Narrow(const std::wstring &wide, UINT codePage) {
    if (wide.empty()) {
        return std::string();
    }
    const int length = NarrowInto(wide, codePage, nullptr, 0, nullptr);
    std::string text(size_t(length > 0 ? length : 0), '\0');
    if (length > 0) {
        NarrowInto(wide, codePage, &text[0], length, nullptr);
    }
    return text;
}

bool NarrowExactly(const std::wstring &wide, UINT codePage, std::string &text) {
    text.clear();
    if (wide.empty()) {
        return true;
    }
    BOOL lossy = FALSE;
    const int length = NarrowInto(wide, codePage, nullptr, 0, &lossy);
    if (length <= 0 || lossy) {
        return false;
    }
    text.resize(size_t(length));
    NarrowInto(wide, codePage, &text[0], length, &lossy);
    return !lossy;
}

std::string AnsiToUtf8(const char *ansi, size_t maxBytes) {
    size_t length = 0;
    while (length < maxBytes && ansi[length] != '\0') {
        ++length;
    }
    return WideToUtf8(Widen(std::string(ansi, length), CP_ACP));
}

std::string AnsiToUtf8(const std::string &ansi) {
    return AnsiToUtf8(ansi.c_str(), ansi.size());
}

std::wstring Utf8ToWide(const std::string &utf8) {
    return Widen(utf8, CP_UTF8);
}

std::string WideToUtf8(const std::wstring &wide) {
    return Narrow(wide, CP_UTF8);
}
