// kdhost --diagnose against every kind of block kdmonitor can publish, and
// against none: the finding, the sentence, the exit code, and that the
// plug-in itself agrees with the finding.
#include <gtest/gtest.h>

#include <memory>

#include "support/fake_monitor.h"
#include "support/host_output.h"
#include "support/plugin.h"
#include "support/processes.h"

namespace {

struct DiagnoseCase {
    const char *what;
    const char *monitor; // kdmonitor's arguments, or none for no monitor
    const char *finding;
    const char *sentence;
    int code;
};

const DiagnoseCase kCases[] = {
    {"no monitor", nullptr, "no-block",
     "There is no shared block named \"KDSharedMemory_RUD\": no monitor is running", 1},
    {"layout version 2", "--layout-version 2", "wrong-version",
     "The block has layout version 2, but the plug-in reads only version 1", 1},
    {"declared size 401", "--size 401", "too-short",
     "The block declares a size of 401 bytes, less than the 402 the plug-in needs", 1},
    {"33 temperatures", "--counts 33,0,0", "too-many-readings",
     "The block lists 33 temperatures, more than its 32 slots", 1},
    {"33 fans", "--counts 0,33,0", "too-many-readings",
     "The block lists 33 fans, more than its 32 slots", 1},
    {"33 extra readings", "--counts 0,0,33", "too-many-readings",
     "The block lists 33 extra readings, more than its 32 slots", 1},
    {"version before counts, as the plug-in checks", "--layout-version 7 --counts 40,0,0",
     "wrong-version", "The block has layout version 7,", 1},
    {"flag bit 0 clear", "--not-live", "not-publishing", "Bit 0 of the block's flags is clear", 1},
    {"live with nothing published", "--counts 0,0,0", "nothing-published",
     "The monitor is live but publishes no temperatures and no fans", 1},
    {"live", "--temps 45.5,52 --fans 900", "live",
     "The monitor is live: the plug-in offers 2 temperatures and 1 fan.", 0},
};

TEST(HostDiagnose, SaysWhyThePluginWouldShowNothing) {
    for (const DiagnoseCase &c : kCases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
        std::unique_ptr<CapturedTool> monitor;
        ASSERT_TRUE(StartMonitor(c.monitor, monitor));
        std::string output;
        EXPECT_EQ(RunTool("kdhost.exe", "--diagnose", &output), c.code) << output;
        size_t finding = output.find("\nfinding: ");
        ASSERT_NE(finding, std::string::npos) << output;
        EXPECT_EQ(Unwrapped(output.substr(0, finding)).rfind(c.sentence, 0), 0u) << output;
        EXPECT_EQ(Lines(output.substr(finding + 1))[0], std::string("finding: ") + c.finding);

        Plugin plugin; // the plug-in's own answer, for the same block
        ASSERT_TRUE(plugin.loaded());
        EXPECT_EQ(plugin.SourcesNum() > 0, c.code == 0) << "the plug-in disagrees";
    }
}

TEST(HostDiagnose, PrintsTheHeaderAndTheRawSlots) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 45.5,-2.51 --fans 900,15001", monitor));
    std::string output;
    ASSERT_EQ(RunTool("kdhost.exe", "--diagnose", &output), 0) << output;
    for (const char *line :
         {"  version   1\n", "  flags     0x01  bit 0 set: publishing\n", "  size      402\n",
          "  numTemps  2\n", "  numFans   2\n", "  numExtra  0\n",
          "Temperatures (hundredths of a degree):\n  [ 0]        4550  = 45.50\n"
          "  [ 1]        -251  = -2.51\n",
          "Fans (RPM):\n  [ 0]         900\n  [ 1]       15001\n", "Extra readings: none\n"}) {
        EXPECT_NE(output.find(line), std::string::npos) << line << "\nin\n" << output;
    }
    EXPECT_NE(output.find("a window of process"), std::string::npos) << output;
}

// A monitor that dies without clearing its flag, while someone (here the test,
// usually a host's plug-in) still holds the block open.
TEST(HostDiagnose, NoticesTheWindowOfACrashedMonitor) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 45.5", monitor));
    HANDLE held = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
    ASSERT_NE(held, nullptr);
    monitor->Kill();

    std::string output;
    EXPECT_EQ(RunTool("kdhost.exe", "--diagnose", &output), 1) << output;
    EXPECT_EQ(output.rfind("The monitor's window 0x", 0), 0u) << output;
    EXPECT_NE(Unwrapped(output).find("no longer exists: the monitor has exited or crashed"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("finding: window-gone\n"), std::string::npos) << output;
    EXPECT_NE(output.find("no such window"), std::string::npos) << output;
    CloseHandle(held);
}

// Without a block, the advice names where the monitor must run: under Wine the
// same prefix, on Windows (forced here by the test hook of RunsUnderWine) the
// same session, in Windows words only.
TEST(HostDiagnose, NoBlockAdviceNamesThePrefixOnlyUnderWine) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    char prefix[MAX_PATH] = "";
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    const struct {
        const char *what;
        const char *assumeWindows; // KD_ASSUME_WINDOWS, or nullptr for none
        std::string present;
        const char *absent;
    } cases[] = {
        {"under Wine", nullptr,
         std::string("no monitor is running in this Wine prefix (") + prefix +
             "); under Wine the monitor must run in the same prefix as the host",
         "session"},
        {"a hook set to anything but 1 changes nothing", "yes", "in this Wine prefix", "session"},
        {"on Windows", "1", "no monitor is running (or it runs in another session), so", "Wine"},
    };
    for (const auto &c : cases) {
        SetEnvironmentVariableA("KD_ASSUME_WINDOWS", c.assumeWindows);
        std::string output;
        EXPECT_EQ(RunTool("kdhost.exe", "--diagnose", &output), 1) << c.what;
        const std::string sentence = Unwrapped(output.substr(0, output.find("\nfinding: ")));
        EXPECT_NE(sentence.find(c.present), std::string::npos) << c.what << ": " << sentence;
        EXPECT_EQ(sentence.find(c.absent), std::string::npos) << c.what << ": " << sentence;
    }
    SetEnvironmentVariableA("KD_ASSUME_WINDOWS", nullptr);
}

} // namespace
