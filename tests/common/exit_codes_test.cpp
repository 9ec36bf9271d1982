// The one exit-code table in code against the two places that show it: each
// tool's --help (run as a user runs it) and docs/exit-codes.md. A code, a
// meaning or a tool's words changed in one place and not the other fails here.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "exit_codes.h"
#include "support/file_text.h"
#include "support/plugin.h"
#include "support/processes.h"

namespace {

using CodeWords = std::map<int, std::string>;

// The table's words for one tool (codes it never gives left out), or with
// column -1 each code's meaning.
CodeWords TableWords(int column) {
    CodeWords words;
    for (const ExitCodeRow &row : ExitCodeTable()) {
        const std::string text = column < 0 ? row.meaning : row.byTool[column];
        if (!text.empty()) {
            words[int(row.code)] = text;
        }
    }
    return words;
}

// The "Exit codes:" section of a --help text: "  N  words", its further lines
// indented, up to the text's end or an empty line; the lines of each code
// joined by spaces.
CodeWords HelpWords(const std::string &help) {
    CodeWords words;
    const size_t start = help.find("\nExit codes:\n");
    if (start == std::string::npos) {
        return words;
    }
    std::istringstream lines(help.substr(start + 13));
    int code = -1;
    for (std::string line; std::getline(lines, line) && !line.empty();) {
        // "  N  " or "  NN " (the words start in column 5 either way).
        const size_t digits = line.find_first_not_of("0123456789", 2) - 2;
        if (line.size() > 5 && line.compare(0, 2, "  ") == 0 && (digits == 1 || digits == 2) &&
            line.find_first_not_of(' ', 2 + digits) == 5) {
            code = std::stoi(line.substr(2, digits));
            words[code] = line.substr(5);
        } else if (code >= 0 && line.compare(0, 5, "     ") == 0) {
            words[code] += " " + line.substr(5);
        } else {
            words[99] = "a line of no code: " + line;
        }
    }
    return words;
}

// The rows "| N | meaning | kdhost | kdmonitor | kdview |" of the page's table,
// backticks dropped; column 0 is the meaning.
std::vector<CodeWords> PageWords(const std::string &page) {
    std::vector<CodeWords> columns(1 + kToolCount);
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() < 3 || line.compare(0, 2, "| ") != 0 || !isdigit((unsigned char)line[2])) {
            continue;
        }
        std::vector<std::string> cells;
        std::istringstream row(line.substr(1));
        for (std::string cell; std::getline(row, cell, '|');) {
            std::string text;
            for (char c : cell) {
                text += c == '`' ? "" : std::string(1, c);
            }
            text.erase(0, text.find_first_not_of(' '));
            text.erase(text.find_last_not_of(' ') + 1);
            cells.push_back(text);
        }
        const int code = std::stoi(cells[0]);
        for (size_t column = 1; column < cells.size() && column <= columns.size(); ++column) {
            if (!cells[column].empty()) {
                columns[column - 1][code] = cells[column];
            }
        }
    }
    return columns;
}

TEST(ExitCodes, EveryToolsHelpShowsTheTable) {
    const struct {
        Tool tool;
        const char *program;
    } tools[] = {
        {Tool::Host, "kdhost.exe"},
        {Tool::Monitor, "kdmonitor.exe"},
        {Tool::View, "kdview.exe"},
        {Tool::Serve, "kdserve.exe"}, // no console: it says its help on standard error
    };
    for (const auto &t : tools) {
        std::string output, errors;
        ASSERT_EQ(RunTool(t.program, "--help", &output, &errors), kExitOk) << t.program;
        const std::string help = output + errors;
        EXPECT_EQ(HelpWords(help), TableWords(int(t.tool))) << t.program << "\n" << help;
    }
}

TEST(ExitCodes, ThePageShowsTheTable) {
    const std::string page = FileText(BuildDir() + "\\docs\\exit-codes.md");
    ASSERT_FALSE(page.empty()) << "docs/exit-codes.md is copied beside the tests";
    const std::vector<CodeWords> columns = PageWords(page);
    EXPECT_EQ(columns[0], TableWords(-1)) << "the meanings";
    for (int tool = 0; tool < kToolCount; ++tool) {
        EXPECT_EQ(columns[1 + tool], TableWords(tool)) << ToolName(Tool(tool));
    }
}

// The parsers above find what they are meant to, so the comparisons can fail.
TEST(ExitCodes, TheReadersOfHelpAndPageTellADifference) {
    const std::string help =
        "Usage\n\nExit codes:\n  0  done, and\n     more\n  2  bad\n  10 running\n";
    EXPECT_EQ(HelpWords(help), (CodeWords{{0, "done, and more"}, {2, "bad"}, {10, "running"}}));
    const std::string page = "| code | meaning |\n|---|---|\n| 4 | a `--log` file | x | | z |\n";
    const std::vector<CodeWords> columns = PageWords(page);
    EXPECT_EQ(columns[0], (CodeWords{{4, "a --log file"}}));
    EXPECT_EQ(columns[1], (CodeWords{{4, "x"}}));
    EXPECT_TRUE(columns[2].empty());
    EXPECT_EQ(columns[3], (CodeWords{{4, "z"}}));
}

} // namespace
