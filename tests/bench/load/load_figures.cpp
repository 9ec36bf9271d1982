// Ratios and verdicts: a figure of a run that failed a request gets none.
#include "load_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

double Percentile(const std::vector<double> &sorted, double p) {
    if (sorted.empty()) {
        return 0;
    }
    const size_t rank = size_t(std::ceil(p / 100.0 * double(sorted.size())));
    return sorted[std::min(sorted.size(), std::max<size_t>(rank, 1)) - 1];
}

double Ratio(double value, double reference) {
    return reference > 0 ? value / reference : 0;
}

std::string Format(const char *format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

struct Row {
    std::string name;
    double value;
    std::string target;  // "<= 1.5", ">= 0.5" or ""
    std::string verdict; // "within", "OVER", "FAILED" or "" (no target)
};

// A ratio to a reference that failed a request is as void as the answer's own.
std::string Verdict(const LoadFigures &f, const LoadFigures &ref, bool hasTarget, bool held) {
    if (f.failed != 0 || ref.failed != 0) {
        return "FAILED";
    }
    return !hasTarget ? "" : held ? "within" : "OVER";
}

// Every figure of every answer, as ratios to the first answer's.
std::vector<Row> Rows(const std::vector<LoadFigures> &figures) {
    std::vector<Row> rows;
    if (figures.empty()) {
        return rows;
    }
    const LoadFigures &ref = figures.front();
    const std::string refVerdict = Verdict(ref, ref, false, true);
    rows.push_back({ref.what + ", p50 ms", ref.p50Ms, "", refVerdict});
    rows.push_back({ref.what + ", p99 ms", ref.p99Ms, "", refVerdict});
    rows.push_back({ref.what + ", 8 clients req/s", ref.perSecond, "", refVerdict});
    for (size_t i = 1; i < figures.size(); ++i) {
        const LoadFigures &f = figures[i];
        const double p50 = Ratio(f.p50Ms, ref.p50Ms);
        const double rate = Ratio(f.perSecond, ref.perSecond);
        const bool p50Held = f.targets.p50 > 0, rateHeld = f.targets.throughput > 0;
        rows.push_back({f.what + ", p50 vs reference 404", p50,
                        p50Held ? Format("<= %g", f.targets.p50) : "",
                        Verdict(f, ref, p50Held, p50 <= f.targets.p50)});
        rows.push_back({f.what + ", p99 vs reference 404", Ratio(f.p99Ms, ref.p99Ms), "",
                        Verdict(f, ref, false, true)});
        rows.push_back({f.what + ", 8 clients req/s vs reference 404", rate,
                        rateHeld ? Format(">= %g", f.targets.throughput) : "",
                        Verdict(f, ref, rateHeld, rate >= f.targets.throughput)});
    }
    return rows;
}

} // namespace

LoadFigures Summarize(std::vector<double> ms, uint64_t concurrent, double seconds) {
    std::sort(ms.begin(), ms.end());
    LoadFigures f;
    f.p50Ms = Percentile(ms, 50);
    f.p99Ms = Percentile(ms, 99);
    f.sequential = ms.size();
    f.perSecond = seconds > 0 ? double(concurrent) / seconds : 0;
    return f;
}

std::string FiguresTable(const std::vector<LoadFigures> &figures, const std::string &noVerdict) {
    std::string text;
    if (figures.empty()) {
        return text;
    }
    const LoadFigures &ref = figures.front();
    char line[256];
    std::snprintf(line, sizeof line, "  %-16s %8s %8s %8s %10s %10s %11s  %s\n", "answer",
                  "p50 ms", "p99 ms", "req/s", "p50 ratio", "p99 ratio", "req/s ratio",
                  "targets: p50, req/s");
    text += line;
    bool failed = false;
    for (const LoadFigures &f : figures) {
        const double p50 = Ratio(f.p50Ms, ref.p50Ms), rate = Ratio(f.perSecond, ref.perSecond);
        std::string verdict;
        if (f.failed != 0 || ref.failed != 0) {
            failed = true;
            verdict = f.failed == 0 ? "void: the reference failed"
                                    : "FAILED " + std::to_string(f.failed) + " requests (" +
                                          f.firstFailure + ")";
        } else if (f.targets.p50 > 0 || f.targets.throughput > 0) {
            verdict = Format("<= %g", f.targets.p50) + Format(", >= %g: ", f.targets.throughput);
            if (!noVerdict.empty()) {
                verdict += noVerdict;
            } else {
                const bool held = p50 <= f.targets.p50 && rate >= f.targets.throughput;
                verdict += held ? "within" : "OVER";
            }
        }
        std::snprintf(line, sizeof line, "  %-16s %8.3f %8.3f %8.0f %10.2f %10.2f %11.2f  ",
                      f.what.c_str(), f.p50Ms, f.p99Ms, f.perSecond, p50,
                      Ratio(f.p99Ms, ref.p99Ms), rate);
        text += line + verdict + "\n";
    }
    if (failed) {
        text += "  a failed request voids its answer's figures: no verdict\n";
    }
    return text;
}

bool WriteResults(const std::string &path, const std::vector<LoadFigures> &figures) {
    FILE *file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    for (const Row &row : Rows(figures)) {
        std::fprintf(file, "%s\t%.3f\t%s\t%s\n", row.name.c_str(), row.value, row.target.c_str(),
                     row.verdict.c_str());
    }
    return std::fclose(file) == 0;
}
