// The serve benchmark's own parts, checked natively: an answer is only timed
// when it came whole, percentiles are by rank, and the sessions' median and
// verdicts follow the targets. A bench that took a cut answer for a fast one
// would mislead.
#include <cstdio>
#include <string>
#include <vector>

#include "http_exchange.h"
#include "load_figures.h"
#include "session_results.h"

namespace {

int g_failures = 0;

void Check(bool held, const std::string &what) {
    if (!held) {
        std::fprintf(stderr, "FAILED: %s\n", what.c_str());
        ++g_failures;
    }
}

void Answers() {
    const struct {
        const char *what;
        std::string raw;
        bool whole;
        int status;
    } cases[] = {
        {"a whole 404", "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nabc", true, 404},
        {"an empty body", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", true, 200},
        {"a body cut short", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", false, 200},
        {"a body longer than said", "HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nabc", false, 200},
        {"no Content-Length", "HTTP/1.1 200 OK\r\n\r\nabc", false, 200},
        {"a head without its end", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n", false, 0},
        {"another protocol", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", false, 0},
        {"nothing", "", false, 0},
    };
    for (const auto &c : cases) {
        const Exchange e = ParseAnswer(c.raw);
        Check(e.whole == c.whole, std::string(c.what) + ": whole");
        Check(e.whole == e.failure.empty(), std::string(c.what) + ": a failure says why");
        if (c.status != 0) {
            Check(e.status == c.status, std::string(c.what) + ": status");
        }
    }
}

void Figures() {
    std::vector<double> ms;
    for (int i = 100; i >= 1; --i) {
        ms.push_back(i);
    }
    const LoadFigures f = Summarize(ms, 300, 1.5);
    Check(f.p50Ms == 50 && f.p99Ms == 99, "percentiles by nearest rank of 1..100");
    Check(f.perSecond == 200, "300 answers in 1.5 s");
    Check(Summarize({7}, 0, 0).p99Ms == 7, "one time is every percentile");

    const struct {
        double value;
        const char *target, *verdict;
    } judged[] = {
        {1.5, "<= 1.5", "within"},
        {1.51, "<= 1.5", "OVER"},
        {0.5, ">= 0.5", "met"},
        {0.49, ">= 0.5", "UNDER"},
        {9, "", ""},
    };
    for (const auto &j : judged) {
        Check(Judge(j.value, j.target) == j.verdict,
              std::to_string(j.value) + " against '" + j.target + "'");
    }
}

void Sessions() {
    auto session = [](double p50, const char *verdict) {
        return std::vector<ResultRow>{{"404, p50 vs reference 404", p50, "<= 1.5", verdict},
                                      {"reference 404, p50 ms", 0.6, "", ""}};
    };
    const auto median =
        MedianOfSessions({session(1.2, "within"), session(3.0, "OVER"), session(1.4, "within")});
    Check(median.size() == 2 && median[0].value == 1.4 && median[0].verdict == "within",
          "the median of three sessions, judged afresh");
    const auto failed =
        MedianOfSessions({session(1.2, "within"), session(1.3, "FAILED"), session(1.4, "within")});
    Check(failed[0].verdict == "FAILED", "a session that failed fails the row");
    const auto even = MedianOfSessions({session(1.0, "within"), session(2.0, "OVER")});
    Check(even[0].value == 1.5 && even[0].verdict == "within", "the median of two");
}

} // namespace

int main() {
    Answers();
    Figures();
    Sessions();
    if (g_failures == 0) {
        std::printf("every check held\n");
    }
    return g_failures == 0 ? 0 : 1;
}
