// Plain text files: the bench's own, so a malformed one is a fault to report.
#include "session_results.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

bool WriteResults(const std::string &path, const std::vector<ResultRow> &rows) {
    FILE *file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    for (const ResultRow &row : rows) {
        std::fprintf(file, "%s\t%.3f\t%s\t%s\n", row.name.c_str(), row.value, row.target.c_str(),
                     row.verdict.c_str());
    }
    return std::fclose(file) == 0;
}

bool ReadResults(const std::string &path, std::vector<ResultRow> &rows, std::string &error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    rows.clear();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) {
            fields.push_back(field);
        }
        while (fields.size() < 4) {
            fields.push_back(""); // a trailing empty target and verdict
        }
        char *end = nullptr;
        const double value = std::strtod(fields[1].c_str(), &end);
        if (fields.size() != 4 || fields[0].empty() || fields[1].empty() || *end != '\0') {
            error = path + ", line " + std::to_string(number) + ": not a row of results";
            return false;
        }
        rows.push_back({fields[0], value, fields[2], fields[3]});
    }
    return true;
}

std::vector<ResultRow> MedianOfSessions(const std::vector<std::vector<ResultRow>> &sessions) {
    std::vector<ResultRow> combined;
    if (sessions.empty()) {
        return combined;
    }
    for (const ResultRow &first : sessions.front()) {
        std::vector<double> values;
        bool failed = false;
        for (const std::vector<ResultRow> &session : sessions) {
            for (const ResultRow &row : session) {
                if (row.name == first.name) {
                    values.push_back(row.value);
                    failed = failed || row.verdict == "FAILED";
                }
            }
        }
        std::sort(values.begin(), values.end());
        const size_t middle = values.size() / 2;
        const double median = values.size() % 2 ? values[middle]
                                                : (values[middle - 1] + values[middle]) / 2;
        combined.push_back({first.name, median, first.target,
                            failed ? "FAILED" : Judge(median, first.target)});
    }
    return combined;
}

std::string ResultsTable(const std::vector<ResultRow> &rows, const std::string &noVerdict) {
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "  %-48s %10s  %-7s  %s\n", "kdhost --serve answer", "value",
                  "target", "verdict");
    text += line;
    for (const ResultRow &row : rows) {
        const std::string verdict =
            row.verdict == "FAILED" || row.target.empty() || noVerdict.empty() ? row.verdict
                                                                                : noVerdict;
        std::snprintf(line, sizeof line, "  %-48s %10.3f  %-7s  %s\n", row.name.c_str(),
                      row.value, row.target.c_str(), verdict.c_str());
        text += line;
    }
    return text;
}
