// Moves back by the rows of the last frame from wherever the cursor is now, so
// scrolling while the first frame was drawn does not matter.
#include "console_frame.h"

#include <algorithm>

namespace {

// At most width code points, padded with spaces to exactly width.
std::string FitWidth(const std::string &utf8, size_t width) {
    std::string fitted;
    size_t shown = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        bool starts = (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
        if (starts) {
            if (shown == width) {
                break;
            }
            ++shown;
        }
        fitted += utf8[i];
    }
    return fitted + std::string(width - shown, ' ');
}

} // namespace

size_t ConsoleLineWidth(const TextStream &console) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console.handle, &info)) {
        return 79; // an 80-column terminal
    }
    return size_t(std::max(1, info.srWindow.Right - info.srWindow.Left));
}

void RedrawFrame(const TextStream &console, ConsoleFrame &frame,
                 const std::vector<std::string> &lines) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console.handle, &info)) {
        return;
    }
    size_t width = ConsoleLineWidth(console);
    SHORT top = SHORT(std::max(0, info.dwCursorPosition.Y - int(frame.lines)));
    SetConsoleCursorPosition(console.handle, COORD{0, top});
    std::string text;
    for (const std::string &line : lines) {
        text += FitWidth(line, width) + "\n";
    }
    for (size_t extra = lines.size(); extra < frame.lines; ++extra) {
        text += std::string(width, ' ') + "\n";
    }
    WriteText(console, text);
    if (frame.lines > lines.size()) {
        GetConsoleScreenBufferInfo(console.handle, &info);
        SHORT back = SHORT(frame.lines - lines.size());
        SetConsoleCursorPosition(console.handle, COORD{0, SHORT(info.dwCursorPosition.Y - back)});
    }
    frame.lines = lines.size();
}
