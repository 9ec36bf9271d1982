// The C runtime's splitting rules read backwards: 2n backslashes before a
// quote are n backslashes and the quote ends or starts quoting; 2n+1 are n
// backslashes and a literal quote; backslashes anywhere else are themselves.
#include "command_line_text.h"

std::string QuoteArgument(const std::string &argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and one more escapes the quote.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Those before the closing quote are doubled, so it still closes.
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

std::string JoinArguments(const std::vector<std::string> &arguments) {
    std::string line;
    for (const std::string &argument : arguments) {
        line += (line.empty() ? "" : " ") + QuoteArgument(argument);
    }
    return line;
}
