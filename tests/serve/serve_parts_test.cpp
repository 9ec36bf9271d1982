// The plain functions behind kdhost --serve: the request-head parser and its
// limits, the metrics text, the listen address, the shared snapshot and the
// page's escaping; and the server itself on a loopback port with a snapshot
// function of the test's own. No monitor.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "connection_pool.h"
#include "descriptor_reuse.h"
#include "http_request.h"
#include "http_server.h"
#include "serve_routes.h"
#include "http_client.h"
#include "listen_address.h"
#include "metrics_text.h"
#include "served_snapshot.h"
#include "status_page.h"
#include "support/processes.h"

namespace {

struct HeadCase {
    const char *what;
    std::string bytes;
    HeadStatus status;
    const char *path; // when Complete
};

TEST(RequestHead, StatusAndPathOfEachForm) {
    const std::string big(kMaxRequestHead, 'a');
    const HeadCase cases[] = {
        {"plain GET", "GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n", HeadStatus::Complete, "/metrics"},
        {"HTTP/1.0 with bare LF line ends", "GET / HTTP/1.0\n\n", HeadStatus::Complete, "/"},
        {"query left off the path", "GET /metrics?x=1&y HTTP/1.1\r\n\r\n", HeadStatus::Complete,
         "/metrics"},
        {"absolute form", "GET http://host:9876/data.json HTTP/1.1\r\n\r\n", HeadStatus::Complete,
         "/data.json"},
        {"absolute form without a path", "HEAD HTTP://host HTTP/1.1\r\n\r\n", HeadStatus::Complete,
         "/"},
        {"empty lines before the request", "\r\n\r\nGET / HTTP/1.1\r\n\r\n", HeadStatus::Complete,
         "/"},
        {"another method is still a request", "DELETE /metrics HTTP/1.1\r\n\r\n",
         HeadStatus::Complete, "/metrics"},
        {"a body after the head is not read", "POST / HTTP/1.1\r\n\r\n\x01\x02garbage",
         HeadStatus::Complete, "/"},
        {"HTTP/1.9 is answered as 1.1", "GET / HTTP/1.9\r\n\r\n", HeadStatus::Complete, "/"},
        {"nothing yet", "", HeadStatus::Incomplete, ""},
        {"half a request line", "GET /met", HeadStatus::Incomplete, ""},
        {"line without the empty line", "GET / HTTP/1.1\r\nHost: x\r\n", HeadStatus::Incomplete,
         ""},
        {"a TLS hello is refused at once", "\x16\x03\x01\x02\x00", HeadStatus::Malformed, ""},
        {"binary in the method", "G\x01T / HTTP/1.1\r\n\r\n", HeadStatus::Malformed, ""},
        {"two spaces", "GET  / HTTP/1.1\r\n\r\n", HeadStatus::Malformed, ""},
        {"no version (HTTP/0.9)", "GET /\r\n\r\n", HeadStatus::Malformed, ""},
        {"version garbage", "GET / HTTX/1.1\r\n", HeadStatus::Malformed, ""},
        {"space in the target", "GET /a b HTTP/1.1\r\n\r\n", HeadStatus::Malformed, ""},
        {"target without a slash", "GET metrics HTTP/1.1\r\n\r\n", HeadStatus::Malformed, ""},
        {"NUL in the target", std::string("GET /\0x HTTP/1.1\r\n\r\n", 21), HeadStatus::Malformed,
         ""},
        {"field without a colon", "GET / HTTP/1.1\r\nHost\r\n\r\n", HeadStatus::Malformed, ""},
        {"space before the colon", "GET / HTTP/1.1\r\nHost : x\r\n\r\n", HeadStatus::Malformed, ""},
        {"folded field", "GET / HTTP/1.1\r\nA: b\r\n c\r\n\r\n", HeadStatus::Malformed, ""},
        {"control byte in a value", "GET / HTTP/1.1\r\nA: b\x01\r\n\r\n", HeadStatus::Malformed,
         ""},
        {"one length twice, as a list and a field",
         "GET / HTTP/1.1\r\nContent-Length: 0, 00\r\ncontent-length: 0\r\n\r\n",
         HeadStatus::Complete, "/"},
        {"two lengths that differ",
         "GET / HTTP/1.1\r\nContent-Length: 0\r\nContent-Length: 5\r\n\r\n", HeadStatus::Malformed,
         ""},
        {"two lengths in one list", "GET / HTTP/1.1\r\nContent-Length: 5, 6\r\n\r\n",
         HeadStatus::Malformed, ""},
        {"a length that is no number", "GET / HTTP/1.1\r\nContent-Length: -1\r\n\r\n",
         HeadStatus::Malformed, ""},
        {"an empty length", "GET / HTTP/1.1\r\nContent-Length:\r\n\r\n", HeadStatus::Malformed, ""},
        {"HTTP/2", "GET / HTTP/2.0\r\n\r\n", HeadStatus::VersionUnsupported, ""},
        {"8 KiB without an end", "GET /" + big, HeadStatus::TooLarge, ""},
        {"a field past 8 KiB", "GET / HTTP/1.1\r\nA: " + big + "\r\n\r\n", HeadStatus::TooLarge,
         ""},
        {"exactly 8 KiB",
         "GET / HTTP/1.1\r\nA: " + std::string(kMaxRequestHead - 23, 'a') + "\r\n\r\n",
         HeadStatus::Complete, "/"},
    };
    for (const HeadCase &c : cases) {
        HttpRequest request;
        HeadStatus status = ParseRequestHead(c.bytes.data(), c.bytes.size(), request);
        EXPECT_EQ(int(status), int(c.status)) << c.what;
        if (c.status == HeadStatus::Complete) {
            EXPECT_EQ(request.path, c.path) << c.what;
        }
    }
}

TEST(RequestHead, FieldsAreRecordedWithinTheirLimit) {
    std::string head = "GET / HTTP/1.1\r\nHost:  example  \r\nX-Empty:\r\n\r\n";
    HttpRequest request;
    ASSERT_EQ(int(ParseRequestHead(head.data(), head.size(), request)), int(HeadStatus::Complete));
    ASSERT_EQ(request.headers.size(), 2u);
    EXPECT_EQ(request.headers[0].value, "example");
    EXPECT_EQ(request.headers[1].value, "");

    for (size_t fields : {kMaxHeaderFields, kMaxHeaderFields + 1}) {
        std::string many = "GET / HTTP/1.1\r\n";
        for (size_t i = 0; i < fields; ++i) {
            many += "A: 1\r\n";
        }
        many += "\r\n";
        HeadStatus expected =
            fields > kMaxHeaderFields ? HeadStatus::TooLarge : HeadStatus::Complete;
        EXPECT_EQ(int(ParseRequestHead(many.data(), many.size(), request)), int(expected))
            << fields << " fields";
    }
}

SourceReading Source(uint32_t index, SourceGroup group, const std::string &name,
                     const std::string &units, float value) {
    SourceReading s;
    s.index = index;
    s.group = group;
    s.name = name;
    s.units = units;
    s.described = true;
    s.scaleMax = group == SourceGroup::Fan ? 7000 : 150;
    s.scaleDivisions = group == SourceGroup::Fan ? 7 : 6;
    s.value = value;
    return s;
}

TEST(MetricsText, FamiliesSamplesAndEscapes) {
    const std::string C = "\xC2\xB0"
                          "C",
                      F = "\xC2\xB0"
                          "F";
    Snapshot snapshot;
    snapshot.reported = 8;
    snapshot.sources = {
        Source(0, SourceGroup::Temperature, "CPU", C, 3888 * 0.01f),
        Source(1, SourceGroup::Temperature, "Case \"front\" \\ A\nB", F, 113),
        Source(2, SourceGroup::Temperature, "Odd degrees", "\xC2\xB0X", 20),
        Source(3, SourceGroup::Fan, "KD fan speed 1", "RPM", 900),
        Source(4, SourceGroup::Fan, "No reading", "RPM", NO_READING),
        Source(5, SourceGroup::Fan, "Infinite", "RPM", INFINITY),
        Source(6, SourceGroup::Other, "Volts", "V", 1.5f),
        // 0xB0 under code page 932 is a katakana mark, not a degree sign.
        Source(7, SourceGroup::Temperature, "GPU",
               "\xEF\xBD\xB0"
               "C",
               61),
    };
    const std::string text = MetricsText(snapshot, Finding::Live);
    struct Line {
        const char *what;
        std::string line;
        bool present;
    } lines[] = {
        {"up without a label", "\nkelvodyn_up 1\n", true},
        {"the finding as its own series", "kelvodyn_finding{finding=\"live\"} 1\n", true},
        {"other findings are 0", "kelvodyn_finding{finding=\"window-gone\"} 0\n", true},
        {"what GetSourcesNum said", "kelvodyn_sources 8", true},
        {"hundredths", "kelvodyn_temperature_celsius{index=\"0\",name=\"CPU\"} 38.88", true},
        {"Fahrenheit converted, its unit kept, escaped",
         "kelvodyn_temperature_celsius{index=\"1\",name=\"Case \\\"front\\\" \\\\ A\\nB\","
         "source_unit=\"\xC2\xB0"
         "F\"} 45\n",
         true},
        {"no family off the base unit", "fahrenheit", false},
        {"whole RPM", "kelvodyn_fan_rpm{index=\"3\",name=\"KD fan speed 1\"} 900", true},
        {"no sample without a reading", "name=\"No reading\"} ", false},
        {"no sample for a value that is not finite", "name=\"Infinite\"} ", false},
        {"an unknown degree is no temperature", "temperature_celsius{index=\"2\"", false},
        {"Celsius told by its letter", "kelvodyn_temperature_celsius{index=\"7\",name=\"GPU\"} 61",
         true},
        {"the sentinel never shows", "3.4028", false},
        {"info keeps a source without a reading",
         "kelvodyn_source_info{index=\"4\",group=\"fan\",name=\"No reading\",unit=\"RPM\","
         "scale_min=\"0\",scale_max=\"7000\",scale_divisions=\"7\"} 1",
         true},
        {"info of a source in no group",
         "kelvodyn_source_info{index=\"6\",group=\"other\",name=\"Volts\",unit=\"V\"", true},
    };
    for (const Line &l : lines) {
        EXPECT_EQ(text.find(l.line) != std::string::npos, l.present) << l.what << "\n" << text;
    }
    for (const char *family :
         {"kelvodyn_build_info", "kelvodyn_up", "kelvodyn_finding", "kelvodyn_sources",
          "kelvodyn_source_info", "kelvodyn_temperature_celsius", "kelvodyn_fan_rpm"}) {
        EXPECT_NE(text.find(std::string("# HELP ") + family + " "), std::string::npos) << family;
        EXPECT_NE(text.find(std::string("# TYPE ") + family + " gauge\n"), std::string::npos)
            << family;
    }
    // Every line is a comment or "name{labels} value": a raw line feed would break one.
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        EXPECT_TRUE(line.rfind("# ", 0) == 0 || line.rfind("kelvodyn_", 0) == 0) << line;
    }
}

TEST(MetricsText, NoSourcesIsDownWithTheReason) {
    Snapshot snapshot;
    const std::string text = MetricsText(snapshot, Finding::WindowGone);
    EXPECT_NE(text.find("\nkelvodyn_up 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("kelvodyn_finding{finding=\"window-gone\"} 1\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("kelvodyn_sources 0\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("kelvodyn_source_info"), std::string::npos) << "no empty families";
}

// Every finding gets its series whatever the block shows, and only the one it
// shows is 1: the series set stays the same as the finding changes.
TEST(MetricsText, EveryFindingHasItsSeriesAndOneIsSet) {
    for (int shown = 0; shown < kFindingCount; ++shown) {
        const std::string text = MetricsText(Snapshot{}, Finding(shown));
        for (int f = 0; f < kFindingCount; ++f) {
            const std::string line = std::string("kelvodyn_finding{finding=\"") +
                                     FindingName(Finding(f)) + "\"} " + (f == shown ? "1" : "0") +
                                     "\n";
            EXPECT_NE(text.find(line), std::string::npos)
                << FindingName(Finding(shown)) << ": " << line;
        }
    }
}

TEST(MetricsText, FahrenheitToCelsius) {
    const struct {
        const char *what;
        float fahrenheit;
        const char *celsius;
    } cases[] = {
        {"water freezes", 32, "0"},          {"water boils", 212, "100"},
        {"the scales meet", -40, "-40"},     {"below zero", 0, "-17.78"},
        {"to the hundredth", 98.6f, "37"},   {"to the nearest hundredth", 33.01f, "0.56"},
        {"the plug-in's bound", 572, "300"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CelsiusFromFahrenheit(c.fahrenheit), c.celsius) << c.what;
    }
}

TEST(StatusPage, EscapesEverythingFromThePlugin) {
    ServedState state;
    state.snapshot.reported = 1;
    state.snapshot.sources = {Source(0, SourceGroup::Fan, "<b>Fan & \"co\"</b>", "RPM", 900)};
    state.findingSentence = "The monitor is live.";
    const std::string page = StatusPage(state, "C:\\<odd>\\KelvoDyn.dll");
    EXPECT_EQ(page.find("<b>"), std::string::npos) << page;
    EXPECT_EQ(page.find("<odd>"), std::string::npos) << page;
    EXPECT_NE(page.find("&lt;b&gt;Fan &amp; &quot;co&quot;&lt;/b&gt;"), std::string::npos) << page;
    EXPECT_NE(page.find("<a href=\"/metrics\">"), std::string::npos) << page;
}

TEST(ListenAddress, FormsAndRefusals) {
    const struct {
        const char *what;
        const char *text;
        bool ok;
        const char *host;
        int port;
    } cases[] = {
        {"a bare port is loopback only", "9876", true, "127.0.0.1", 9876},
        {"every address when asked", "0.0.0.0:9876", true, "0.0.0.0", 9876},
        {"IPv6 in brackets", "[::1]:80", true, "::1", 80},
        {"port 0: the system picks", "0", true, "127.0.0.1", 0},
        {"the highest port", "65535", true, "127.0.0.1", 65535},
        {"past the highest port", "65536", false, "", 0},
        {"an exponent", "8e3", false, "", 0},
        {"no port", "127.0.0.1:", false, "", 0},
        {"no address", ":80", false, "", 0},
        {"IPv6 without brackets", "::1:80", false, "", 0},
        {"empty", "", false, "", 0},
        // Found by fuzzing: "[" as the host, which its URL "[:876" could not give back.
        {"a bracket inside the brackets", "[[]:876", false, "", 0},
        {"a bracket in an IPv4 address", "1.2.3.4]:80", false, "", 0},
        // The system's parser takes these too, and would listen where nobody meant.
        {"0 for every interface", "0:80", false, "", 0},
        {"a shortened address", "127.1:80", false, "", 0},
        {"an octal part", "010.0.0.1:80", false, "", 0},
        {"a part past 255", "256.0.0.1:80", false, "", 0},
        {"five parts", "1.2.3.4.5:80", false, "", 0},
        {"an empty part", "1..3.4:80", false, "", 0},
    };
    for (const auto &c : cases) {
        ListenAddress address;
        std::string error;
        EXPECT_EQ(ParseListenAddress(c.text, address, error), c.ok) << c.what;
        EXPECT_EQ(error.empty(), c.ok) << c.what << ": " << error;
        if (c.ok) {
            EXPECT_EQ(address.host, c.host) << c.what;
            EXPECT_EQ(address.port, c.port) << c.what;
        }
    }
    EXPECT_EQ(ListenUrl("::1", 80), "http://[::1]:80/");
}

TEST(SharedSnapshot, ConcurrentCallersShareOneAndLaterOnesTakeANewOne) {
    std::atomic<int> takes{0}, arrived{0};
    const int callers = 8;
    SharedSnapshot shared([&] {
        ++takes;
        // Stay in flight until every caller has asked, and a little longer.
        while (arrived < callers) {
            std::this_thread::yield();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return ServedState{};
    });
    std::vector<uint64_t> generations(callers);
    std::vector<std::thread> threads;
    for (int i = 0; i < callers; ++i) {
        threads.emplace_back([&, i] {
            ++arrived;
            generations[i] = shared.Fresh()->generation;
        });
    }
    for (std::thread &t : threads) {
        t.join();
    }
    // A caller held up between arriving and asking may start a second one.
    EXPECT_LE(takes, 2) << "concurrent requests took a snapshot each";
    EXPECT_LE(std::set<uint64_t>(generations.begin(), generations.end()).size(), 2u);

    int before = takes;
    uint64_t first = shared.Fresh()->generation;
    EXPECT_GT(shared.Fresh()->generation, first) << "a later request got an old snapshot";
    EXPECT_EQ(takes, before + 2);
}

TEST(ServeStartText, SaysWhereToConnectAndWhenOtherMachinesCan) {
    const struct {
        const char *what;
        const char *host;
        const char *machine;
        const char *url;
        bool reachable; // says that other machines can reach it, without a login
    } cases[] = {
        {"loopback", "127.0.0.1", "box", "http://127.0.0.1:9876/", false},
        {"IPv6 loopback", "::1", "box", "http://[::1]:9876/", false},
        {"every interface: the machine's name", "0.0.0.0", "box", "http://box:9876/", true},
        {"every IPv6 interface", "::", "box", "http://box:9876/", true},
        {"every interface, no name known", "0.0.0.0", "", "http://127.0.0.1:9876/", true},
        {"one address of the machine", "192.0.2.7", "box", "http://192.0.2.7:9876/", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ListenAddress address;
        address.host = c.host;
        address.port = 0;
        std::string text = ServeStartText(address, 9876, c.machine, false);
        EXPECT_EQ(text.rfind(std::string("kdhost: serving ") + c.url + " (metrics at /metrics", 0),
                  0u)
            << text;
        EXPECT_EQ(text.find("0.0.0.0:9876/"), std::string::npos) << "no URL to nowhere";
        const bool warned = text.find("other machines can reach this endpoint, and it has no "
                                      "login") != std::string::npos;
        EXPECT_EQ(warned, c.reachable) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.reachable ? 2 : 1) << text;
    }
}

// A snapshot function that fails on its first call: the request in flight
// and every request waiting for it fail with it; the next one takes a fresh one.
TEST(SharedSnapshot, AFailedSnapshotFailsItsWaitersAndTheNextOneIsTaken) {
    std::atomic<int> takes{0}, arrived{0};
    const int callers = 4;
    SharedSnapshot shared([&] {
        if (takes++ == 0) {
            while (arrived < callers) {
                std::this_thread::yield();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            throw std::runtime_error("the plug-in fell over");
        }
        return ServedState{};
    });
    std::atomic<int> failed{0}, answered{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < callers; ++i) {
        threads.emplace_back([&] {
            ++arrived;
            try {
                answered += shared.Fresh() != nullptr;
            } catch (const std::runtime_error &) {
                ++failed;
            }
        });
    }
    for (std::thread &t : threads) {
        t.join(); // a waiter left waiting for good would hang here
    }
    EXPECT_GE(failed, 1);
    EXPECT_EQ(failed + answered, callers) << "a caller got neither a snapshot nor the failure";
    auto next = shared.Fresh();
    ASSERT_NE(next, nullptr);
    EXPECT_GE(next->generation, 1u);
}

TEST(ServeFailures, ASnapshotThatThrowsOnceIs500AndTheServerGoesOn) {
    std::atomic<int> takes{0};
    SharedSnapshot snapshots([&] {
        if (takes++ == 0) {
            throw std::runtime_error("the plug-in fell over");
        }
        return ServedState{};
    });
    HttpServer server;
    std::string error;
    ListenAddress loopback; // 127.0.0.1, a port the system picks
    ASSERT_EQ(
        server.Start(
            loopback, ServerLimits{},
            [&](const HttpRequest &request) { return Route(request, snapshots, "KelvoDyn.dll"); },
            error),
        HttpServer::Outcome::Listening)
        << error;
    const int expected[] = {500, 200, 200};
    for (int status : expected) {
        HttpReply reply = HttpGet(server.port(), "/metrics", 10000);
        EXPECT_EQ(reply.status, status) << reply.raw;
        EXPECT_TRUE(reply.closed) << "answered, never left waiting";
    }
    EXPECT_EQ(takes, 3) << "each request after the failure took a fresh snapshot";
    server.Stop();
    EXPECT_EQ(server.answered(), 3u);
}

// Kept descriptors serve a scrape only while everything they were read under
// still holds; a stamp that could not be had matches nothing, itself included.
TEST(DescriptorReuse, OnlyWhileNothingTheyDependOnChanged) {
    FileStamp file;
    file.known = file.exists = true;
    file.created = 100;
    file.written = 200;
    file.size = 42;
    KeptDescriptors kept;
    kept.kept = true;
    kept.key = {5, 2, 3, file};
    kept.readAtMs = 1000;
    auto with = [&](auto change) {
        FileStamp changed = file;
        change(changed);
        return changed;
    };
    const struct {
        const char *what;
        bool kept;
        FileStamp now;
        uint64_t nowMs;
        bool reuse;
    } cases[] = {
        {"nothing changed", true, file, 1000 + kMaxDescriptorAgeMs - 1, true},
        {"never kept", false, file, 1000, false},
        {"written again", true, with([](FileStamp &f) { f.written++; }), 1000, false},
        {"made anew", true, with([](FileStamp &f) { f.created++; }), 1000, false},
        {"another size", true, with([](FileStamp &f) { f.size--; }), 1000, false},
        {"gone", true, with([](FileStamp &f) {
             f = FileStamp{true, false, 0, 0, 0};
         }),
         1000, false},
        {"cannot be asked", true, with([](FileStamp &f) { f.known = false; }), 1000, false},
        {"as old as allowed", true, file, 1000 + kMaxDescriptorAgeMs, false},
        {"a clock that went back", true, file, 999, false},
    };
    for (const auto &c : cases) {
        kept.kept = c.kept;
        EXPECT_EQ(MayReuse(kept, c.now, c.nowMs), c.reuse) << c.what;
    }
    kept.key.settings.known = false;
    EXPECT_FALSE(MayReuse(kept, kept.key.settings, 1000)) << "an unknown stamp matched itself";

    const struct {
        const char *what;
        int32_t reported;
        uint16_t temps, fans;
        bool fit;
    } counts[] = {
        {"the same", 5, 2, 3, true},
        {"another answer of GetSourcesNum", 4, 2, 3, false},
        {"the same total, split otherwise", 5, 3, 2, false},
        {"more fans", 5, 2, 4, false},
    };
    for (const auto &c : counts) {
        EXPECT_EQ(CountsFit(kept, c.reported, c.temps, c.fans), c.fit) << c.what;
    }
}

// The pool's cap counts a connection from its admission until its answer is
// done; one past it is handed back to be refused, and a slot freed is taken.
TEST(ConnectionPool, AdmitsUpToItsCapAndKeepsItsThreads) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::mutex mutex;
    std::vector<uintptr_t> served;
    std::set<DWORD> threads;
    ConnectionPool pool(2, [&](uintptr_t connection) {
        WaitForSingleObject(release, 10000);
        std::lock_guard<std::mutex> lock(mutex);
        served.push_back(connection);
        threads.insert(GetCurrentThreadId());
    });
    EXPECT_TRUE(pool.Admit(1));
    EXPECT_TRUE(pool.Admit(2));
    EXPECT_FALSE(pool.Admit(3)) << "a third connection admitted past a cap of 2";
    SetEvent(release);
    auto servedCount = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        return served.size();
    };
    ASSERT_TRUE(WaitUntil([&] { return servedCount() == 2; }, 10000));
    for (uintptr_t c = 4; c < 14; ++c) {
        EXPECT_TRUE(WaitUntil([&] { return pool.Admit(c); }, 10000)) << c;
    }
    ASSERT_TRUE(WaitUntil([&] { return servedCount() == 12; }, 10000));
    EXPECT_TRUE(pool.Stop().empty()) << "every admitted connection was served";
    EXPECT_LE(threads.size(), 2u) << "a thread was started past the cap";
    EXPECT_FALSE(pool.Admit(20)) << "admitted after Stop";
    CloseHandle(release);
}

// Sequential requests are answered by the threads already there: a connection
// costs a wake-up, not a thread's start.
TEST(ServeConnections, SequentialRequestsAreAnsweredOnKeptThreads) {
    // Counted by a mark of each thread's own, which a new thread never finds
    // set, whatever identifier the system gives it.
    static std::atomic<int> threads{0};
    threads = 0;
    HttpServer server;
    std::string error;
    ListenAddress loopback;
    ASSERT_EQ(server.Start(
                  loopback, ServerLimits{},
                  [&](const HttpRequest &) {
                      thread_local bool counted = false;
                      if (!counted) {
                          counted = true;
                          ++threads;
                      }
                      return ErrorResponse(404, "nothing here");
                  },
                  error),
              HttpServer::Outcome::Listening)
        << error;
    const int requests = 40;
    for (int i = 0; i < requests; ++i) {
        HttpReply reply = HttpGet(server.port(), "/", 10000);
        ASSERT_EQ(reply.status, 404) << reply.raw;
        ASSERT_TRUE(reply.closed);
    }
    server.Stop();
    EXPECT_EQ(server.answered(), uint64_t(requests));
    // The thread that answered one may still be closing it as the next comes.
    EXPECT_LE(threads, 2) << "a thread per connection";
}

} // namespace
