// kdmonitor --replay as a user runs it: a session recorded with kdhost --log,
// played back and recorded again shows the same values; malformed rows are
// named and skipped; a file with nothing to play is refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
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

// The file made start, then zeros up to size bytes in all (sparse where the
// file system allows it, so even a large one costs nothing to make).
void WriteZeroFile(const std::string &path, const std::string &start, int64_t size) {
    WriteFileText(path, start);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
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
    // Ten times as fast: the gap between the two recorded snapshots is as long
    // as starting and stopping a monitor took, half a minute under emulation.
    CapturedTool replay("kdmonitor.exe", "--replay \"" + recorded + "\" --speed 10");
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
    const std::string zeros = Scratch("replay-zeros.csv"), endless = Scratch("replay-endless.csv");
    WriteZeroFile(zeros, "", 300 << 20);
    WriteZeroFile(endless,
                  std::string(kHeader) + "2026-12-08T18:00:00.000,0,fan,F,900,RPM,0,7000,7\n" +
                      "2026-12-08T18:00:01.000,0,fan,F,",
                  300 << 20);
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
        {"300 MB of zeros", zeros, kExitNo,
         zeros + ": it is not a kdhost --log recording: its first 65536 bytes hold no line"},
        {"a row, then 300 MB without a line end", endless, kExitReplayIncomplete,
         "line 3 is longer than 65536 bytes, so the rest of the recording from there on cannot "
         "be read"},
        {"the same, summed up", endless, kExitReplayIncomplete,
         "replayed 1 snapshot; 1 row skipped, first on line 3; the rest could not be read"},
    };
    for (const auto &c : cases) {
        std::string output, errors;
        EXPECT_EQ(
            RunTool("kdmonitor.exe", "--replay \"" + c.path + "\" --speed 100", &output, &errors),
            c.code)
            << c.what;
        EXPECT_NE(errors.find(c.errors), std::string::npos) << c.what << ": " << errors;
        EXPECT_EQ(output.find("publishing") == std::string::npos, c.code != kExitReplayIncomplete)
            << c.what << ": " << output;
    }
}

// The recording as it is changed while it plays: bytes from an offset on
// made 'x' in place (line ends kept), cut at an offset, removed, or rewritten.
bool OverwriteFrom(const std::string &path, size_t from) {
    std::string text = FileText(path).substr(from);
    for (char &c : text) {
        c = c == '\n' ? c : 'x';
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = int64_t(from);
    DWORD written = 0;
    const bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok;
}

bool CutAt(const std::string &path, int64_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

// Rewritten in place, as a shell's '>' or an editor saves it (Wine refuses
// to rename another file over one that is open, even shared for deletion).
bool ReplaceWith(const std::string &path, const std::string &text) {
    WriteFileText(path, text);
    return FileText(path) == text;
}

// A stress of its own: each replay runs a few seconds at most, its file
// changed the moment it publishes, and must end by itself, with the code of a
// damaged replay and a sentence that says what happened. The play reads
// ahead 64 KB at a time: the recording (600 snapshots of 8 fans, about 270 KB)
// is cut and overwritten well past what is read ahead when it changes.
TEST(Replay, ARecordingChangedWhileItPlaysEndsSayingWhatHappened) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    const std::string path = Scratch("replay-changing.csv");
    std::string recording = kHeader;
    for (int n = 0; n < 600; ++n) {
        char time[32];
        std::snprintf(time, sizeof time, "2026-12-08T18:%02d:%02d.000", n / 60, n % 60);
        for (int fan = 0; fan < 8; ++fan) {
            recording += std::string(time) + "," + std::to_string(fan) + ",fan,KD fan," +
                         std::to_string(1000 + n) + ",RPM,0,7000,7\n";
        }
    }
    const std::string zeros(4096, '\0');
    const struct {
        const char *what;
        const char *options;
        std::function<bool()> change;
        int code;
        std::vector<std::string> errors;
        std::string output;
    } cases[] = {
        {"cut",
         "--speed 100",
         [&] { return CutAt(path, 20000); },
         kExitReplayIncomplete,
         {"the replay stops short of the recording's end: it was cut while it played: it ends "
          "after 65536 bytes now, where " +
              std::to_string(recording.size()) + " were read before",
          "; the recording changed while it played"},
         ""},
        {"cut, looped",
         "--speed 100 --loop --duration 4",
         [&] { return CutAt(path, 20000); },
         kExitReplayIncomplete,
         {": it was cut while it played", "; it plays again from its start",
          "; the recording changed while it played"},
         ""},
        {"overwritten",
         "--speed 100",
         [&] { return OverwriteFrom(path, 150000); },
         kExitReplayIncomplete,
         {"1 fields, where a row has 9; row skipped (the recording changed while it played)",
          "rows skipped, first on line", "; the recording changed while it played"},
         "the recording has ended"},
        {"removed",
         "--speed 300",
         [&] { return DeleteFileA(path.c_str()) != 0; },
         kExitReplayIncomplete,
         {"the replay stops short of the recording's end: it was removed while it played"},
         ""},
        {"removed, looped",
         "--speed 300 --loop --duration 20",
         [&] { return DeleteFileA(path.c_str()) != 0; },
         kExitReplayIncomplete,
         {"the replay stops short of the recording's end: it cannot be opened any more"},
         ""},
        {"replaced by zeros, looped",
         "--speed 300 --loop --duration 20",
         [&] { return ReplaceWith(path, zeros); },
         kExitReplayIncomplete,
         {"the replay stops short of the recording's end: it is no kdhost --log recording any "
          "more: its first line should read time,index,"},
         ""},
        {"replaced by its header, looped",
         "--speed 300 --loop --duration 20",
         [&] { return ReplaceWith(path, kHeader); },
         kExitReplayIncomplete,
         {"it holds no usable row any more"},
         ""},
        {"replaced, not looped",
         "--speed 300",
         [&] { return ReplaceWith(path, zeros); },
         kExitReplayIncomplete,
         {"the replay stops short of the recording's end: it was cut while it played"},
         ""},
    };
    for (const auto &c : cases) {
        WriteFileText(path, recording);
        CapturedTool replay("kdmonitor.exe", "--replay \"" + path + "\" " + c.options);
        ASSERT_TRUE(WaitForOutput(replay, "Ctrl+C to stop")) << c.what << ": " << replay.Errors();
        ASSERT_TRUE(c.change()) << c.what << ": error " << GetLastError();
        const int code = replay.Wait(30000);
        EXPECT_EQ(code, c.code) << c.what << ": " << replay.Errors();
        if (code == -1) {
            RunTool("kdmonitor.exe", "--stop", nullptr);
            replay.Wait(10000);
        }
        for (const std::string &expected : c.errors) {
            EXPECT_NE(replay.Errors().find(expected), std::string::npos)
                << c.what << ": " << replay.Errors();
        }
        EXPECT_TRUE(c.errors.size() > 0 || replay.Errors().empty())
            << c.what << ": " << replay.Errors();
        EXPECT_TRUE(c.output.empty() || replay.Output().find(c.output) != std::string::npos)
            << c.what << ": " << replay.Output();
        DeleteFileA(path.c_str());
    }
}

} // namespace
