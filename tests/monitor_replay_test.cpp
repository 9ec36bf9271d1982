// kdmonitor --replay as a user runs it: a session recorded with kdhost --log,
// played back and recorded again shows the same values; malformed rows are
// named and skipped; a file with nothing to play is refused.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "support/fake_monitor.h"
#include "support/host_output.h"
#include "support/plugin.h"
#include "support/processes.h"

namespace {

std::string Scratch(const std::string &name) {
    std::string folder = BuildDir() + "\\scratch";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + "\\" + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string FileText(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileText(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Fields(const std::string &line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ',')) {
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == ',') {
        fields.push_back("");
    }
    return fields;
}

// The snapshots of a log (names here hold no commas), each as its sources'
// "index name=value" text, in the order logged; snapshots without a single
// reading (the monitor gone) are left out.
std::vector<std::string> Snapshots(const std::string &log) {
    std::vector<std::string> snapshots;
    std::map<std::string, std::string> byTime;
    std::vector<std::string> times;
    std::map<std::string, bool> anyValue;
    for (const std::string &line : Lines(log)) {
        std::vector<std::string> f = Fields(line);
        if (f.size() != 9 || f[0] == "time") {
            continue;
        }
        if (!byTime.count(f[0])) {
            times.push_back(f[0]);
        }
        byTime[f[0]] += f[1] + " " + f[3] + "=" + f[4] + "; ";
        anyValue[f[0]] = anyValue[f[0]] || !f[4].empty();
    }
    for (const std::string &time : times) {
        if (anyValue[time]) {
            snapshots.push_back(byTime[time]);
        }
    }
    return snapshots;
}

// Consecutive repeats as one, and what the host saw only once left out: a
// replayed snapshot stands for many of the host's intervals, while a host
// snapshot taken as the monitor switched from one to the next can mix the two.
std::vector<std::string> Steady(const std::vector<std::string> &snapshots) {
    std::vector<std::string> steady;
    for (size_t i = 0; i < snapshots.size();) {
        size_t run = 1;
        while (i + run < snapshots.size() && snapshots[i + run] == snapshots[i]) {
            ++run;
        }
        if (run >= 2 && (steady.empty() || steady.back() != snapshots[i])) {
            steady.push_back(snapshots[i]);
        }
        i += run;
    }
    return steady;
}

bool HasValue(const std::string &json, int index, const std::string &value) {
    return JsonLineOf(json, index).find("\"value\": " + value + ",") != std::string::npos;
}

void StopMonitor(std::unique_ptr<CapturedTool> &monitor) {
    RunTool("kdmonitor.exe", "--stop", nullptr);
    monitor->Wait(10000);
    monitor.reset();
}

TEST(Replay, ARecordedSessionPlaysBackAsItWasRecorded) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    const std::string recorded = Scratch("replay-recorded.csv");
    const std::string replayed = Scratch("replay-replayed.csv");
    // Two snapshots of different sources: 400 degrees is past the bound, so
    // the first has a "no reading" cell.
    for (const char *values :
         {"--temps 45.5,-2.51,400 --fans 900,0", "--temps 52.25 --fans 1200,1300,1400"}) {
        std::unique_ptr<CapturedTool> monitor;
        ASSERT_TRUE(StartMonitor(values, monitor));
        Sleep(800); // each snapshot stands long enough for the host to meet it many times
        ASSERT_EQ(RunTool("kdhost.exe", "--log \"" + recorded + "\"", nullptr), 0);
        StopMonitor(monitor);
    }
    const std::vector<std::string> session = Snapshots(FileText(recorded));
    ASSERT_EQ(session.size(), 2u) << FileText(recorded);
    EXPECT_NE(session[0].find("2 KD temperature 3=; "), std::string::npos) << session[0];

    CapturedTool host("kdhost.exe",
                      "--watch --interval 50 --duration 60 --log \"" + replayed + "\"");
    ASSERT_TRUE(host.started());
    CapturedTool replay("kdmonitor.exe", "--replay \"" + recorded + "\"");
    EXPECT_EQ(replay.Wait(30000), 0) << replay.Errors();
    Sleep(300);
    host.Kill();
    EXPECT_NE(replay.Output().find("replaying " + recorded + ": 2 snapshots"), std::string::npos)
        << replay.Output();
    EXPECT_NE(replay.Output().find("the recording has ended"), std::string::npos)
        << replay.Output();
    EXPECT_EQ(replay.Errors(), "");
    EXPECT_EQ(Steady(Snapshots(FileText(replayed))), session) << FileText(replayed);
}

const char kHeader[] = "time,index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n";

TEST(Replay, MalformedRowsAreNamedAndTheRestIsPlayed) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    const std::string path = Scratch("replay-malformed.csv");
    const std::string c = kDegreesUtf8 + "C";
    WriteFileText(path, std::string(kHeader) +
                            "2026-12-08T18:00:00.000,0,temperature,\"CPU, package\",45.5," + c +
                            ",0,150,6\n"
                            "2026-12-08T18:00:00.000,1,fan,CPU fan,900,RPM,0,7000,7\n"
                            "2026-12-08T18:00:00.400,0,temperature,CPU,hot," +
                            c +
                            ",0,150,6\n"
                            "2026-12-08T18:00:00.400,1,fan,CPU fan,1000,RPM,0,7000,7\n"
                            "garbage\n"
                            "2026-12-08T18:00:00.800,0,temperature,CPU,50," +
                            c + ",0,150,6\n");
    CapturedTool replay("kdmonitor.exe", "--replay \"" + path + "\" --loop --duration 3");
    ASSERT_TRUE(WaitForOutput(replay, "publishing")) << replay.Errors();
    // Each snapshot as one block: the second lost its temperature, the third its fan.
    const struct {
        const char *count, *first, *second;
    } played[] = {{"2", "45.5", "900"}, {"1", "1000", nullptr}, {"1", "50", nullptr}};
    auto isPlayed = [&](const std::string &json) {
        for (const auto &p : played) {
            if (json.find(std::string("\"count\": ") + p.count + ",") != std::string::npos &&
                HasValue(json, 0, p.first) &&
                (p.second == nullptr || HasValue(json, 1, p.second))) {
                return true;
            }
        }
        return false;
    };
    // A host that reads while the monitor switches snapshots may see a mix:
    // one of three looks is whole.
    std::string json;
    bool whole = false;
    for (int attempt = 0; attempt < 3 && !whole; ++attempt) {
        RunTool("kdhost.exe", "--json", &json);
        whole = isPlayed(json);
    }
    EXPECT_TRUE(whole) << json;
    EXPECT_EQ(replay.Wait(30000), 0) << "--duration ends a loop";
    const std::string errors = replay.Errors();
    EXPECT_NE(
        errors.find(path + " line 4: value 'hot' is not a temperature in degrees; row skipped"),
        std::string::npos)
        << errors;
    EXPECT_NE(errors.find(path + " line 6: 1 fields, where a row has 9; row skipped"),
              std::string::npos)
        << errors;
    EXPECT_NE(replay.Output().find("3 snapshots"), std::string::npos) << replay.Output();
}

TEST(Replay, RefusesAFileWithNothingToPlay) {
    const std::string csv = Scratch("replay-snapshot.csv");
    const std::string bad = Scratch("replay-bad.csv");
    WriteFileText(csv, "index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n"
                       "0,fan,KD fan speed 1,900,RPM,0,7000,7\n");
    WriteFileText(bad, std::string(kHeader) + "yesterday,0,fan,KD fan speed 1,900,RPM,0,7000,7\n");
    const struct {
        const char *what;
        std::string path;
        std::string errors;
    } cases[] = {
        {"no such file", Scratch("replay-none.csv"), "cannot open the recording"},
        {"kdhost --csv output", csv,
         "it is not a kdhost --log recording: its first line should read time,index,"},
        {"malformed rows only", bad, "line 2: time 'yesterday' is not a local time"},
        {"malformed rows only: refused", bad, bad + ": it holds no usable row"},
    };
    for (const auto &c : cases) {
        std::string output, errors;
        EXPECT_EQ(RunTool("kdmonitor.exe", "--replay \"" + c.path + "\"", &output, &errors), 1)
            << c.what;
        EXPECT_NE(errors.find(c.errors), std::string::npos) << c.what << ": " << errors;
        EXPECT_EQ(output.find("publishing"), std::string::npos) << c.what << ": " << output;
    }
}

} // namespace
