// One line per message, made safe for a terminal.
#include "monitor_message.h"

#include "terminal_text.h"

namespace {

// Enough for any sentence of kdmonitor's with a long path in it, yet no flood.
const size_t kSentenceChars = 1000;

} // namespace

void Say(const TextStream &stream, const std::string &utf8) {
    WriteText(stream, "kdmonitor: " + TerminalText(utf8, kSentenceChars) + "\n");
}

void Warn(const std::string &utf8) {
    Say(StandardError(), utf8);
}
