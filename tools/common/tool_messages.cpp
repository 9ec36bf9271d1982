// The one sink of the tools' messages. A sentence is cut only when absurd: it
// may quote a path of up to kPathChars whole, with its reason after it.
#include "tool_messages.h"

#include "terminal_text.h"
#include "text_output.h"

namespace {

const char *g_tool = "kd";

constexpr size_t kSentenceChars = 4 * kPathChars;

} // namespace

void SetMessageTool(Tool tool) {
    g_tool = ToolName(tool);
}

std::string MessageLine(const std::string &sentence) {
    return std::string(g_tool) + ": " + TerminalText(sentence, kSentenceChars) + "\n";
}

void Say(const std::string &sentence) {
    WriteText(StandardOutput(), MessageLine(sentence));
}

void Warn(const std::string &sentence) {
    WriteText(StandardError(), MessageLine(sentence));
}

int Fail(int code, const std::string &sentence) {
    Warn(sentence);
    return code;
}
