// kd_serve_load: kdhost --serve against the reference server, side by side in
// one run. Both listen on loopback; this client runs natively, as Prometheus
// and curl do, and makes one new connection per request. Sequential requests
// give p50 and p99, eight clients at once the throughput; the answers take
// turns, request by request and then phase by phase, each round in another
// order, so noise on the machine falls on all alike. Every figure is a ratio
// to the reference's 404. Bounded in count and time: a fixed number of
// requests and seconds per answer, a timeout on every wait, and a deadline.
//
//   kd_serve_load --reference PORT --server PORT --results FILE
//       measures one session: prints its figures, writes its rows to FILE
//   kd_serve_load --combine FILE... [--results FILE] [--no-verdict WHY]
//       the median of each row over the sessions' files, with the verdicts
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "http_exchange.h"
#include "load_figures.h"
#include "session_results.h"

namespace {

constexpr int kSequentialRounds = 200; // a request of each answer per round
constexpr int kClients = 8;
constexpr int kThroughputRounds = 6;
constexpr double kThroughputSeconds = 0.5; // per answer and round
constexpr unsigned kTimeoutMs = 5000;      // for every connect, send and read
constexpr double kRunDeadlineSeconds = 60; // the whole session, whatever happens
constexpr size_t kMaxPerPhase = 200000;     // requests of one answer in one throughput phase

struct Answer {
    const char *what;
    bool reference; // asked of the reference server, not of kdhost
    const char *path;
    int status;
    Targets targets; // as ratios to the reference's 404
};

// The reference's 404 first: every ratio is to it. The snapshot's answers may
// cost their work beyond the connection; a 404 has none to do.
const Answer kAnswers[] = {
    {"reference 404", true, "/no-such-page", 404, {0, 0}},
    {"404", false, "/no-such-page", 404, {1.5, 0.5}},
    {"/metrics", false, "/metrics", 200, {2.0, 0.5}},
    {"/data.json", false, "/data.json", 200, {2.0, 0.5}},
};
constexpr size_t kAnswerCount = sizeof kAnswers / sizeof kAnswers[0];

struct Measured {
    std::vector<double> ms;  // each sequential request
    uint64_t concurrent = 0; // answered by the throughput phases' deadlines
    double seconds = 0;      // the throughput phases' time
    uint64_t failed = 0;
    std::string firstFailure;
};

using Clock = std::chrono::steady_clock;
const Clock::time_point g_start = Clock::now();

bool PastDeadline() {
    return std::chrono::duration<double>(Clock::now() - g_start).count() > kRunDeadlineSeconds;
}

// The order of the answers in a round: every one goes first, and the order
// runs forwards and backwards, equally often.
size_t InRound(int round, size_t step) {
    size_t k = round % 2 == 0 ? step : kAnswerCount - 1 - step;
    return (k + size_t(round / 2)) % kAnswerCount;
}

bool Counts(const Answer &answer, const Exchange &e, Measured &m) {
    if (e.whole && e.status == answer.status) {
        return true;
    }
    ++m.failed;
    if (m.firstFailure.empty()) {
        m.firstFailure = e.whole ? "status " + std::to_string(e.status) : e.failure;
    }
    return false;
}

uint16_t PortOf(const Answer &a, uint16_t reference, uint16_t server) {
    return a.reference ? reference : server;
}

// One request of each answer in turn, so that each meets the machine as the
// others do from one moment to the next.
void Sequential(uint16_t reference, uint16_t server, std::vector<Measured> &m) {
    for (int round = 0; round < kSequentialRounds && !PastDeadline(); ++round) {
        for (size_t step = 0; step < kAnswerCount; ++step) {
            const size_t i = InRound(round, step);
            Exchange e =
                GetOnce(PortOf(kAnswers[i], reference, server), kAnswers[i].path, kTimeoutMs);
            if (Counts(kAnswers[i], e, m[i])) {
                m[i].ms.push_back(e.ms);
            }
        }
    }
}

// kClients threads asking one after another until the phase's end; only the
// answers complete by then are counted.
void Concurrent(const Answer &answer, uint16_t port, Measured &m) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point end =
        start + std::chrono::duration_cast<Clock::duration>(
                    std::chrono::duration<double>(kThroughputSeconds));
    std::atomic<uint64_t> answered{0}, asked{0};
    std::vector<Measured> perClient(kClients);
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            while (Clock::now() < end && asked++ < kMaxPerPhase) {
                Exchange e = GetOnce(port, answer.path, kTimeoutMs);
                if (Counts(answer, e, perClient[size_t(c)]) && Clock::now() <= end) {
                    ++answered;
                }
            }
        });
    }
    for (std::thread &t : clients) {
        t.join();
    }
    m.concurrent += answered;
    m.seconds += std::chrono::duration<double>(end - start).count();
    for (const Measured &c : perClient) {
        m.failed += c.failed;
        if (m.firstFailure.empty()) {
            m.firstFailure = c.firstFailure;
        }
    }
}

int Usage() {
    std::fprintf(stderr, "usage: kd_serve_load --reference PORT --server PORT --results FILE\n"
                         "       kd_serve_load --combine FILE... [--results FILE] "
                         "[--no-verdict WHY]\n");
    return 2;
}

// The session's figures for people: the times themselves, and the ratios.
void PrintFigures(const std::vector<LoadFigures> &figures) {
    const LoadFigures &ref = figures.front();
    std::printf("  %-16s %8s %8s %8s %10s %11s  %s\n", "answer", "p50 ms", "p99 ms", "req/s",
                "p50 ratio", "req/s ratio", "failed");
    for (const LoadFigures &f : figures) {
        std::printf("  %-16s %8.3f %8.3f %8.0f %10.2f %11.2f  %s\n", f.what.c_str(), f.p50Ms,
                    f.p99Ms, f.perSecond, ref.p50Ms > 0 ? f.p50Ms / ref.p50Ms : 0,
                    ref.perSecond > 0 ? f.perSecond / ref.perSecond : 0,
                    f.failed == 0 ? "0"
                                  : (std::to_string(f.failed) + " (" + f.firstFailure + ")").c_str());
    }
}

int Measure(uint16_t reference, uint16_t server, const std::string &results) {
    std::vector<Measured> m(kAnswerCount);
    // Each answer a few times, so a server that cannot answer is told at once,
    // and every lazy first cost is paid before the timing begins.
    for (size_t i = 0; i < kAnswerCount; ++i) {
        Measured warm;
        for (int k = 0; k < 5; ++k) {
            Counts(kAnswers[i],
                   GetOnce(PortOf(kAnswers[i], reference, server), kAnswers[i].path, kTimeoutMs),
                   warm);
        }
        if (warm.failed != 0) {
            std::fprintf(stderr, "kd_serve_load: %s: %s\n", kAnswers[i].what,
                         warm.firstFailure.c_str());
            return 1;
        }
    }
    Sequential(reference, server, m);
    for (int round = 0; round < kThroughputRounds && !PastDeadline(); ++round) {
        for (size_t step = 0; step < kAnswerCount; ++step) {
            const size_t i = InRound(round, step);
            Concurrent(kAnswers[i], PortOf(kAnswers[i], reference, server), m[i]);
        }
    }
    std::vector<LoadFigures> figures;
    for (size_t i = 0; i < kAnswerCount; ++i) {
        LoadFigures f = Summarize(m[i].ms, m[i].concurrent, m[i].seconds);
        f.what = kAnswers[i].what;
        f.targets = kAnswers[i].targets;
        f.failed = m[i].failed;
        f.firstFailure = m[i].firstFailure;
        figures.push_back(f);
    }
    std::printf("one new loopback connection per request; %d sequential requests per answer, "
                "the answers in turn,\nthen %d clients at once for %d rounds of %.1f s per "
                "answer%s\n",
                kSequentialRounds, kClients, kThroughputRounds, kThroughputSeconds,
                PastDeadline() ? " (cut short at the run's deadline)" : "");
    PrintFigures(figures);
    if (!WriteResults(results, ResultRows(figures))) {
        std::fprintf(stderr, "kd_serve_load: cannot write %s\n", results.c_str());
        return 1;
    }
    for (const LoadFigures &f : figures) {
        if (f.failed != 0) {
            return 1;
        }
    }
    return 0;
}

int Combine(const std::vector<std::string> &files, const std::string &results,
            const std::string &noVerdict) {
    std::vector<std::vector<ResultRow>> sessions;
    for (const std::string &file : files) {
        std::string error;
        sessions.emplace_back();
        if (!ReadResults(file, sessions.back(), error)) {
            std::fprintf(stderr, "kd_serve_load: %s\n", error.c_str());
            return 1;
        }
    }
    const std::vector<ResultRow> combined = MedianOfSessions(sessions);
    std::printf("the median of %zu sessions, each with both servers started afresh:\n",
                sessions.size());
    std::fputs(ResultsTable(combined, noVerdict).c_str(), stdout);
    if (!results.empty() && !WriteResults(results, combined)) {
        std::fprintf(stderr, "kd_serve_load: cannot write %s\n", results.c_str());
        return 1;
    }
    return 0;
}

bool ReadPort(const char *text, uint16_t &port) {
    char *end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value == 0 || value > 65535) {
        return false;
    }
    port = uint16_t(value);
    return true;
}

} // namespace

int main(int argc, char **argv) {
    uint16_t reference = 0, server = 0;
    std::string results, noVerdict;
    std::vector<std::string> combine;
    bool combining = false;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--reference") == 0 && hasValue) {
            if (!ReadPort(argv[++i], reference)) {
                return Usage();
            }
        } else if (std::strcmp(argv[i], "--server") == 0 && hasValue) {
            if (!ReadPort(argv[++i], server)) {
                return Usage();
            }
        } else if (std::strcmp(argv[i], "--results") == 0 && hasValue) {
            results = argv[++i];
        } else if (std::strcmp(argv[i], "--no-verdict") == 0 && hasValue) {
            noVerdict = argv[++i];
        } else if (std::strcmp(argv[i], "--combine") == 0) {
            combining = true;
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) {
                combine.push_back(argv[++i]);
            }
        } else {
            return Usage();
        }
    }
    if (combining) {
        return combine.empty() || reference != 0 || server != 0
                   ? Usage()
                   : Combine(combine, results, noVerdict);
    }
    if (reference == 0 || server == 0 || results.empty() || !noVerdict.empty()) {
        return Usage();
    }
    return Measure(reference, server, results);
}
