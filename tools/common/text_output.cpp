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

std::string ShownPath(const std::string &path) {
    return PathText(path);
}
