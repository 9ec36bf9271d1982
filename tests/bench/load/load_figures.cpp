// Ratios and verdicts of one session.
#include "load_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

std::string Target(const char *op, double value) {
    if (value <= 0) {
        return "";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%s %g", op, value);
    return text;
}

ResultRow Row(const std::string &name, double value, const std::string &target, bool failed) {
    return {name, value, target, failed ? "FAILED" : Judge(value, target)};
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

std::vector<ResultRow> ResultRows(const std::vector<LoadFigures> &figures) {
    std::vector<ResultRow> rows;
    if (figures.empty()) {
        return rows;
    }
    const LoadFigures &ref = figures.front();
    const bool refFailed = ref.failed != 0;
    rows.push_back(Row(ref.what + ", p50 ms", ref.p50Ms, "", refFailed));
    rows.push_back(Row(ref.what + ", p99 ms", ref.p99Ms, "", refFailed));
    rows.push_back(Row(ref.what + ", 8 clients req/s", ref.perSecond, "", refFailed));
    for (size_t i = 1; i < figures.size(); ++i) {
        const LoadFigures &f = figures[i];
        const bool failed = refFailed || f.failed != 0;
        rows.push_back(Row(f.what + ", p50 vs reference 404", Ratio(f.p50Ms, ref.p50Ms),
                           Target("<=", f.targets.p50), failed));
        rows.push_back(
            Row(f.what + ", p99 vs reference 404", Ratio(f.p99Ms, ref.p99Ms), "", failed));
        rows.push_back(Row(f.what + ", 8 clients req/s vs reference 404",
                           Ratio(f.perSecond, ref.perSecond), Target(">=", f.targets.throughput),
                           failed));
    }
    return rows;
}

std::string Judge(double value, const std::string &target) {
    if (target.size() < 4 || (target.compare(0, 3, "<= ") != 0 && target.compare(0, 3, ">= ") != 0)) {
        return "";
    }
    const double bound = std::strtod(target.c_str() + 3, nullptr);
    if (target[0] == '<') {
        return value <= bound ? "within" : "OVER";
    }
    return value >= bound ? "met" : "UNDER";
}
