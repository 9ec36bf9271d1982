// Splitting kdhost's piped output into frames, lines and rows.
#include "host_output.h"

#include <algorithm>
#include <cctype>
#include <sstream>

const std::string kDegreesUtf8 = "\xC2\xB0";

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::stringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> CompleteFrames(const std::string &output, bool ended) {
    std::vector<std::string> frames;
    size_t start = 0;
    for (size_t gap; (gap = output.find("\n\n", start)) != std::string::npos; start = gap + 2) {
        frames.push_back(output.substr(start, gap + 1 - start));
    }
    if (ended && start < output.size()) {
        frames.push_back(output.substr(start));
    }
    return frames;
}

namespace {

// A row begins with the source's index, right-aligned.
bool IsRow(const std::string &line) {
    size_t first = line.find_first_not_of(' ');
    return first != std::string::npos && std::isdigit(static_cast<unsigned char>(line[first]));
}

} // namespace

std::string RowOf(const std::string &table, const std::string &name) {
    for (const std::string &line : Lines(table)) {
        if (IsRow(line) && line.find("  " + name + "  ") != std::string::npos) {
            return line;
        }
    }
    return "";
}

size_t RowCount(const std::string &table) {
    size_t rows = 0;
    for (const std::string &line : Lines(table)) {
        rows += IsRow(line);
    }
    return rows;
}

std::string Unwrapped(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

std::string JsonLineOf(const std::string &json, int index) {
    for (const std::string &line : Lines(json)) {
        if (line.find("{\"index\": " + std::to_string(index) + ",") != std::string::npos) {
            return line;
        }
    }
    return "";
}
