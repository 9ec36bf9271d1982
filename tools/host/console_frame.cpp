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

RedrawPlan PlanRedraw(const ConsoleFrame &last, size_t width, size_t lines, int cursorRow,
                      int windowTop, int windowRows) {
    RedrawPlan plan;
    if (last.lines > 0 && last.width != width) {
        plan.top = windowTop;
        plan.clearRows = windowRows;
        return plan;
    }
    plan.top = std::max(0, cursorRow - int(last.lines));
    plan.blankAfter = last.lines > lines ? last.lines - lines : 0;
    return plan;
}

std::string FrameText(const std::vector<std::string> &lines, size_t width, size_t blankAfter) {
    std::string text;
    for (const std::string &line : lines) {
        text += FitWidth(line, width) + "\n";
    }
    for (size_t i = 0; i < blankAfter; ++i) {
        text += std::string(width, ' ') + "\n";
    }
    return text;
}

void RedrawFrame(const TextStream &console, ConsoleFrame &frame,
                 const std::vector<std::string> &lines, size_t width) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console.handle, &info)) {
        return;
    }
    RedrawPlan plan = PlanRedraw(frame, width, lines.size(), info.dwCursorPosition.Y,
                                 info.srWindow.Top, info.srWindow.Bottom - info.srWindow.Top + 1);
    if (plan.clearRows > 0) {
        DWORD written = 0;
        FillConsoleOutputCharacterW(console.handle, L' ', DWORD(info.dwSize.X) * plan.clearRows,
                                    COORD{0, SHORT(plan.top)}, &written);
        FillConsoleOutputAttribute(console.handle, info.wAttributes,
                                   DWORD(info.dwSize.X) * plan.clearRows, COORD{0, SHORT(plan.top)},
                                   &written);
    }
    SetConsoleCursorPosition(console.handle, COORD{0, SHORT(plan.top)});
    WriteText(console, FrameText(lines, width, plan.blankAfter));
    if (plan.blankAfter > 0) {
        GetConsoleScreenBufferInfo(console.handle, &info);
        SHORT back = SHORT(plan.blankAfter);
        SetConsoleCursorPosition(console.handle, COORD{0, SHORT(info.dwCursorPosition.Y - back)});
    }
    frame.lines = lines.size();
    frame.width = width;
}
