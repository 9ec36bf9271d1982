// The tools by name, for what differs between them only in words: the
// messages' first word and each tool's column of the exit-code table.
#pragma once

enum class Tool { Host, Monitor, View, Serve };
constexpr int kToolCount = 4;

// The program's name as the user runs it: "kdhost", "kdmonitor", "kdview",
// and "kdserve", which the logon starts ('kdhost --autostart').
inline const char *ToolName(Tool tool) {
    static const char *const kNames[kToolCount] = {"kdhost", "kdmonitor", "kdview", "kdserve"};
    return kNames[int(tool)];
}
