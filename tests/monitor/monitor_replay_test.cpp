// kdmonitor --replay as a user runs it: a session recorded with kdhost --log,
// played back and recorded again shows the same values; malformed rows are
// named and skipped; a file with nothing to play is refused.
#include <gtest/gtest.h>

#include <iterator>

#include "exit_codes.h"
#include "support/fake_monitor.h"
#include "support/file_text.h"
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

// The snapshots of a log after its header, each as its rows without the
// time, in the order logged; one without a single reading (the monitor gone) is left out.
std::vector<std::string> Snapshots(const std::string &log) {
    std::vector<std::string> snapshots;
    std::string time, rows;
    bool anyValue = false;
    for (const std::string &line : Lines(log.substr(log.find('\n') + 1) + "end,\n")) {
        std::string lineTime = line.substr(0, line.find(','));
        if (lineTime != time && anyValue) {
            snapshots.push_back(rows);
        }
        if (lineTime != time) {
            time = lineTime;
            rows.clear();
            anyValue = false;
        }
        rows += line.substr(time.size()) + "\n";
        // An empty value cell: ",," between the name (no commas here) and the unit.
        anyValue = anyValue || line.find(",,") == std::string::npos;
    }
    return snapshots;
}

// Consecutive repeats as one, and what the host saw only once left out: a
// replayed snapshot stands for many of the host's intervals, while a host
// snapshot taken as the monitor switched from one to the next can mix the two.
std::vector<std::string> Steady(const std::vector<std::string> &snapshots) {
    std::vector<std::string> steady;
    for (size_t i = 0; i + 1 < snapshots.size(); ++i) {
        if (snapshots[i] == snapshots[i + 1] && (steady.empty() || steady.back() != snapshots[i])) {
            steady.push_back(snapshots[i]);
        }
    }
    return steady;
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
    EXPECT_NE(session[0].find(",2,temperature,KD temperature 3,,"), std::string::npos)
        << session[0];

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
    const std::string ok = std::string(kHeader) +
                           "2026-12-08T18:00:00.000,0,temperature,\"CPU, package\",45.5," + c +
                           ",0,150,6\n";
    const std::string later = "2026-12-08T18:00:00.800,0,fan,CPU fan,900,RPM,0,7000,7\n";
    const struct {
        const char *what;
        std::string text;
        std::vector<std::string> errors, output;
        std::string notInOutput;
    } cases[] = {
        {"a bad value and a line of garbage",
         ok + "2026-12-08T18:00:00.400,0,temperature,CPU,hot," + c + ",0,150,6\n" + "garbage\n" +
             later,
         {path + " line 3: value 'hot' is not a temperature in degrees",
          path + " line 4: 1 fields, where a row has 9; row skipped",
          "kdmonitor: replayed 3 snapshots; 2 rows skipped, first on line 3\n"},
         {": 3 snapshots from 2026-12-08T18:00:00.000 to 2026-12-08T18:00:00.800, 4 times as fast",
          "the recording has ended"},
         ""},
        {"a quote never closed",
         ok + "2026-12-08T18:00:00.400,0,fan,\"CPU fan,900,RPM,0,7000,7\n" + later,
         {path + ": a quote opened on line 3 is never closed, so the rest of the recording",
          "the replay stops short of the recording's end",
          "replayed 1 snapshot; 1 row skipped, first on line 3; the rest could not be read"},
         {": 1 snapshot from 2026-12-08T18:00:00.000 to 2026-12-08T18:00:00.000"},
         "the recording has ended"},
        {"cells that are no numbers kdhost writes",
         ok + "2026-12-08T18:00:00.400,0,temperature,A,1e3," + c + ",0,150,6\n" +
             "2026-12-08T18:00:00.400,1,temperature,A,0x1A," + c + ",0,150,6\n" +
             "2026-12-08T18:00:00.400,2,fan,A,900.5,RPM,0,7000,7\n" +
             "2026-12-08T18:00:00.400,3,fan,A,9" + std::string(1, '\0') + "5,RPM,0,7000,7\n" +
             "2026-12-08T18:00:00.400,4,fan,\x1B]0;title\x07,1,RPM,0,7000,7," +
             std::string(5000, 'x') + "\n",
         {"line 3: value '1e3' is not a temperature", "line 4: value '0x1A' is not a temperature",
          "line 5: value '900.5' is not a speed in RPM", "line 6: value '9\\x005' is not a speed",
          "line 7: field 10 is longer than 1024 bytes",
          "replayed 2 snapshots; 5 rows skipped, first on line 3"},
         {"the recording has ended"},
         ""},
    };
    for (const auto &k : cases) {
        WriteFileText(path, k.text);
        std::string output, errors;
        EXPECT_EQ(RunTool("kdmonitor.exe", "--replay \"" + path + "\" --speed 4", &output, &errors),
                  kExitReplayIncomplete)
            << k.what << ": " << errors;
        for (const std::string &expected : k.errors) {
            EXPECT_NE(errors.find(expected), std::string::npos) << k.what << ": " << errors;
        }
        for (const std::string &expected : k.output) {
            EXPECT_NE(output.find(expected), std::string::npos) << k.what << ": " << output;
        }
        EXPECT_TRUE(k.notInOutput.empty() || output.find(k.notInOutput) == std::string::npos)
            << k.what << ": " << output;
        EXPECT_EQ(errors.find_first_of("\x1B\x07"), std::string::npos)
            << k.what << ": nothing reaches the terminal raw";
        EXPECT_LT(errors.size(), 3000u) << k.what;
    }
}

// A row that cannot be read is no reading at its own index: the host sees the
// sources after it where they were recorded.
TEST(Replay, ARowThatCannotBeReadLeavesNoReadingAtItsIndex) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    const std::string path = Scratch("replay-oops.csv");
    const std::string c = kDegreesUtf8 + "C";
    const std::string text = std::string(kHeader) + "2026-12-08T18:00:00.000,0,temperature,T,40," +
                             c + ",0,150,6\n" + "2026-12-08T18:00:00.000,1,temperature,T,oops," +
                             c + ",0,150,6\n" + "2026-12-08T18:00:00.000,2,temperature,T,42," + c +
                             ",0,150,6\n" + "2026-12-08T18:10:00.000,0,temperature,T,40," + c +
                             ",0,150,6\n";
    WriteFileText(path, text);
    auto replay = std::make_unique<CapturedTool>("kdmonitor.exe", "--replay \"" + path + "\"");
    ASSERT_TRUE(WaitForOutput(*replay, "Ctrl+C to stop")) << replay->Errors();
    std::string csv;
    EXPECT_EQ(RunTool("kdhost.exe", "--csv", &csv, nullptr), kExitOk);
    const std::vector<std::string> rows = Lines(csv);
    ASSERT_EQ(rows.size(), 4u) << csv;
    EXPECT_EQ(rows[1].substr(0, rows[1].find(kDegreesUtf8)), "0,temperature,KD temperature 1,40,");
    EXPECT_EQ(rows[2].substr(0, rows[2].find(kDegreesUtf8)), "1,temperature,KD temperature 2,,");
    EXPECT_EQ(rows[3].substr(0, rows[3].find(kDegreesUtf8)), "2,temperature,KD temperature 3,42,");
    RunTool("kdmonitor.exe", "--stop", nullptr);
    EXPECT_EQ(replay->Wait(10000), kExitReplayIncomplete) << "it skipped a row";
    EXPECT_NE(replay->Errors().find("replayed 1 snapshot; 1 row skipped, first on line 3"),
              std::string::npos)
        << replay->Errors();
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
        int code;
        std::string errors;
    } cases[] = {
        {"no such file", Scratch("replay-none.csv"), kExitFileFailed, "cannot open the recording"},
        {"a folder", BuildDir(), kExitFileFailed, ": it is a folder"},
        {"kdhost --csv output", csv, kExitNo,
         "it is not a kdhost --log recording: its first line should read time,index,"},
        {"malformed rows only", bad, kExitNo, "line 2: time 'yesterday' is not a local time"},
        {"malformed rows only, refused", bad, kExitNo, bad + ": it holds no usable row"},
    };
    for (const auto &c : cases) {
        std::string output, errors;
        EXPECT_EQ(RunTool("kdmonitor.exe", "--replay \"" + c.path + "\"", &output, &errors), c.code)
            << c.what;
        EXPECT_NE(errors.find(c.errors), std::string::npos) << c.what << ": " << errors;
        EXPECT_EQ(output.find("publishing"), std::string::npos) << c.what << ": " << output;
    }
}

} // namespace
