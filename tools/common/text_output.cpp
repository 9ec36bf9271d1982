// Console-aware output: a console gets UTF-16 through WriteConsoleW so the
// degree sign shows whatever its code page; pipes and files get UTF-8 bytes.
#include "text_output.h"

#include "terminal_text.h"

namespace {

TextStream OpenStream(DWORD which) {
    TextStream stream;
    stream.handle = GetStdHandle(which);
    DWORD mode = 0;
    stream.console = stream.handle != nullptr && stream.handle != INVALID_HANDLE_VALUE &&
                     GetConsoleMode(stream.handle, &mode) != 0;
    return stream;
}

} // namespace

std::wstring Widen(const std::string &text, UINT codePage) {
    if (text.empty()) {
        return std::wstring();
    }
    int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], length);
    return wide;
}

TextStream StandardOutput() {
    return OpenStream(STD_OUTPUT_HANDLE);
}

TextStream StandardError() {
    return OpenStream(STD_ERROR_HANDLE);
}

void WriteText(const TextStream &stream, const std::string &utf8) {
    DWORD written = 0;
    if (stream.console) {
        std::wstring wide = Widen(utf8, CP_UTF8);
        WriteConsoleW(stream.handle, wide.data(), DWORD(wide.size()), &written, nullptr);
    } else {
        WriteFile(stream.handle, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    }
}

std::wstring Utf8ToWide(const std::string &utf8) {
    return Widen(utf8, CP_UTF8);
}

std::string WideToUtf8(const std::wstring &wide) {
    if (wide.empty()) {
        return std::string();
    }
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string utf8(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0], bytes, nullptr,
                        nullptr);
    return utf8;
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

size_t DisplayWidth(const std::string &utf8) {
    size_t width = 0;
    for (unsigned char byte : utf8) {
        width += (byte & 0xC0) != 0x80; // continuation bytes add nothing
    }
    return width;
}

std::vector<std::string> WrapWords(const std::string &utf8, size_t width) {
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start <= utf8.size()) {
        size_t end = utf8.find(' ', start);
        std::string word = utf8.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && DisplayWidth(line) + 1 + DisplayWidth(word) > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    lines.push_back(line);
    return lines;
}

std::string ShownPath(const std::string &ansiPath) {
    return TerminalText(AnsiToUtf8(ansiPath), kPathChars);
}
