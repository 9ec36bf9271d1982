// kdhost --watch against kdmonitor processes that are killed and started
// again: it keeps running, shows "no reading", follows the counts, and logs.
#include <gtest/gtest.h>

#include <memory>

#include "support/fake_monitor.h"
#include "support/file_text.h"
#include "support/host_output.h"
#include "support/plugin_copy.h"
#include "support/processes.h"

namespace {

// The newest complete frame whose table satisfies the condition, or "".
template <typename Condition> std::string FrameWhere(const CapturedTool &host, Condition holds) {
    std::vector<std::string> frames = CompleteFrames(host.Output(), false);
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) {
        if (holds(*frame)) {
            return *frame;
        }
    }
    return "";
}

bool Shows(const std::string &frame, const std::string &name, const std::string &value) {
    return RowOf(frame, name).find("  " + value) != std::string::npos;
}

std::vector<std::string> ReadLines(const std::string &path) {
    return Lines(FileText(path));
}

TEST(HostWatch, KeepsRunningThroughAMonitorKilledAndStartedAgain) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    PluginCopy scratch("host watch"); // a folder for the log
    ASSERT_TRUE(scratch.ok());
    const std::string log = scratch.folder() + "\\watch.csv";
    std::unique_ptr<CapturedTool> first, second;
    ASSERT_TRUE(StartMonitor("--temps 45.5,52 --fans 900,1200,0", first));
    // The duration only bounds a run that goes wrong; the test ends it itself.
    CapturedTool host("kdhost.exe", "--watch --interval 100 --duration 120 --log \"" + log + "\"");
    ASSERT_TRUE(host.started());

    auto live = [](const std::string &f) { return Shows(f, "KD temperature 1", "45.50"); };
    ASSERT_TRUE(WaitUntil([&] { return !FrameWhere(host, live).empty(); }, 20000)) << host.Output();
    EXPECT_EQ(RowCount(FrameWhere(host, live)), 5u) << FrameWhere(host, live);

    first->Kill();
    auto stopped = [](const std::string &f) {
        return f.find("No sources now.") != std::string::npos &&
               Shows(f, "KD temperature 1", "no reading");
    };
    ASSERT_TRUE(WaitUntil([&] { return !FrameWhere(host, stopped).empty(); }, 20000))
        << host.Output();
    std::string frame = FrameWhere(host, stopped);
    EXPECT_EQ(RowCount(frame), 5u) << "the last sources stay listed\n" << frame;
    for (const char *name : {"KD temperature 2", "KD fan speed 1", "KD fan speed 3"}) {
        EXPECT_TRUE(Shows(frame, name, "no reading")) << name << "\n" << frame;
    }
    EXPECT_NE(Unwrapped(frame).find("no longer exists"), std::string::npos)
        << "the reason, from the block\n"
        << frame;

    // Fewer temperatures and fans than before: the rows follow the counts.
    ASSERT_TRUE(StartMonitor("--temps 30 --fans 1500,800", second));
    auto back = [](const std::string &f) { return Shows(f, "KD fan speed 1", "1500"); };
    ASSERT_TRUE(WaitUntil([&] { return !FrameWhere(host, back).empty(); }, 20000)) << host.Output();
    frame = FrameWhere(host, back);
    EXPECT_EQ(RowCount(frame), 3u) << frame;
    EXPECT_TRUE(Shows(frame, "KD temperature 1", "30.00")) << frame;
    EXPECT_TRUE(Shows(frame, "KD fan speed 2", "800")) << frame;
    EXPECT_EQ(frame.find("No sources now."), std::string::npos) << frame;
    EXPECT_EQ(host.Wait(0), -1) << "kdhost ended on its own";
    host.Kill();

    // One header, then rows: values while live, empty values while stopped.
    std::vector<std::string> rows = ReadLines(log);
    ASSERT_GT(rows.size(), 1u);
    EXPECT_EQ(rows[0], "time,index,group,name,value,units,scaleMin,scaleMax,scaleDivisions");
    size_t headers = 0, live45 = 0, empty = 0, back30 = 0;
    for (const std::string &row : rows) {
        headers += row.rfind("time,", 0) == 0;
        live45 += row.find(",0,temperature,KD temperature 1,45.5,") != std::string::npos;
        empty += row.find(",0,temperature,KD temperature 1,,") != std::string::npos;
        back30 += row.find(",0,temperature,KD temperature 1,30,") != std::string::npos;
    }
    EXPECT_EQ(headers, 1u);
    EXPECT_GT(live45, 0u);
    EXPECT_GT(empty, 0u);
    EXPECT_GT(back30, 0u);
}

// A monitor stopped through --stop clears bit 0 and destroys its window; the
// watching host's plug-in still holds the block, so the block lives on.
// --duration 0 keeps both tools running until they are stopped.
TEST(HostWatch, SaysTheMonitorHasStoppedAndDiagnoseAgrees) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 45.5 --fans 900 --duration 0", monitor));
    CapturedTool host("kdhost.exe", "--watch --interval 100 --duration 0");
    ASSERT_TRUE(host.started());
    auto live = [](const std::string &f) { return Shows(f, "KD temperature 1", "45.50"); };
    ASSERT_TRUE(WaitUntil([&] { return !FrameWhere(host, live).empty(); }, 20000)) << host.Output();
    Sleep(1000); // long past a duration of 0 seconds
    EXPECT_EQ(monitor->Wait(0), -1) << "kdmonitor --duration 0 ended on its own";
    EXPECT_EQ(host.Wait(0), -1) << "kdhost --duration 0 ended on its own";

    std::string stopOutput;
    ASSERT_EQ(RunTool("kdmonitor.exe", "--stop", &stopOutput), 0) << stopOutput;
    EXPECT_EQ(monitor->Wait(20000), 0) << monitor->Output();
    ASSERT_TRUE(BlockNameOpens()) << "the watching plug-in no longer holds the block";
    auto stopped = [](const std::string &f) {
        return Unwrapped(f).find("No sources now. The monitor has stopped: bit 0 of the block's "
                                 "flags is clear and its window 0x") != std::string::npos;
    };
    ASSERT_TRUE(WaitUntil([&] { return !FrameWhere(host, stopped).empty(); }, 20000))
        << host.Output();
    std::string frame = FrameWhere(host, stopped);
    EXPECT_EQ(Unwrapped(frame).find("still starting"), std::string::npos) << frame;
    EXPECT_TRUE(Shows(frame, "KD fan speed 1", "no reading")) << frame;

    std::string diagnosis;
    EXPECT_EQ(RunTool("kdhost.exe", "--diagnose", &diagnosis), 1) << diagnosis;
    EXPECT_EQ(diagnosis.rfind("The monitor has stopped: bit 0 of the block's flags is clear", 0),
              0u)
        << diagnosis;
    EXPECT_NE(diagnosis.find("\nfinding: stopped\n"), std::string::npos) << diagnosis;
    EXPECT_EQ(host.Wait(0), -1) << "kdhost ended on its own";
    host.Kill();
}

struct DurationCase {
    const char *what;
    const char *monitor; // kdmonitor's arguments, or none
    int code;
    const char *shown; // in every frame
};

TEST(HostWatch, EndsByItselfAfterTheDurationAndAppendsToTheLog) {
    PluginCopy scratch("host duration");
    ASSERT_TRUE(scratch.ok());
    const std::string log = scratch.folder() + "\\runs.csv";
    const DurationCase cases[] = {
        {"no monitor", nullptr, 1, "Waiting for sources. There is no shared block"},
        {"a live monitor", "--temps 45.5 --fans 900", 0, "KD fan speed 1"},
    };
    for (const DurationCase &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
        std::unique_ptr<CapturedTool> monitor;
        ASSERT_TRUE(StartMonitor(c.monitor, monitor));
        std::string output;
        EXPECT_EQ(RunTool("kdhost.exe",
                          "--watch --interval 100 --duration 0.3 --log \"" + log + "\"", &output),
                  c.code)
            << output;
        EXPECT_EQ(output.find('\x1b'), std::string::npos) << "escape codes in a pipe";
        std::vector<std::string> frames = CompleteFrames(output, true);
        EXPECT_GE(frames.size(), 1u) << output;
        for (const std::string &frame : frames) {
            EXPECT_NE(Unwrapped(frame).find(c.shown), std::string::npos) << frame;
        }
    }
    // Two runs in one file: one header; the first run had no sources to log.
    std::vector<std::string> rows = ReadLines(log);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0].rfind("time,", 0), 0u);
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].rfind("time,", 0), std::string::npos) << "header repeated";
        EXPECT_NE(rows[i].find(i % 2 == 1 ? ",0,temperature,KD temperature 1,45.5,"
                                          : ",1,fan,KD fan speed 1,900,"),
                  std::string::npos)
            << rows[i];
    }
}

} // namespace
