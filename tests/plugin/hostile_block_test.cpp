// Hostile blocks: every malformed header in a full mapping and in one much
// smaller than the layout, and blocks from a process that has no window. None
// may crash the host; a rejected block is released at once and tried again on
// the next call, so a repaired block is picked up without a reload.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "block_copy.h"
#include "block_diagnosis.h"
#include "monitor_link/block_rules.h"
#include "support/desc_record.h"
#include "support/fake_monitor.h"
#include "support/header_cases.h"
#include "support/plugin.h"
#include "support/processes.h"
#include "support/readings.h"

namespace {

// Only the header: the slots lie past the end of the mapping object.
constexpr uint32_t kHeaderOnly = offsetof(SharedSensorBlock, temps);

// A valid, live header with 2 temperatures and 1 fan. The slots are written
// only when the mapping holds them; past a small mapping they read as zero.
void WriteValidBlock(SharedSensorBlock &b, HWND window, uint32_t mappingBytes) {
    b.version = SHARED_BLOCK_VERSION;
    b.size = SHARED_BLOCK_MIN_SIZE;
    b.hwnd = uint32_t(UINT_PTR(window));
    b.numTemps = 2;
    b.numFans = 1;
    b.numExtra = 0;
    if (mappingBytes >= sizeof b) {
        b.temps[0] = 2500;
        b.temps[1] = 2600;
        b.fans[0] = 800;
    }
    b.flags = FLAG_PUBLISHING;
}

// All three exports as a host calls them: none at all, or the counts the
// header holds with the first temperature and the first fan.
void ExpectAnswers(const Plugin &plugin, const SharedSensorBlock &b, bool answered,
                   bool slotsInMapping) {
    const uint32_t temps = b.numTemps, count = answered ? temps + b.numFans : 0;
    EXPECT_EQ(plugin.SourcesNum(), int32_t(count));
    const float none = NO_READING;
    const float firstTemp = slotsInMapping ? ExactProduct(2500) : 0.0f;
    const float firstFan = slotsInMapping ? 800.0f : 0.0f;
    EXPECT_EQ(FloatBits(plugin.SourceData(0)), FloatBits(answered ? firstTemp : none));
    EXPECT_EQ(FloatBits(plugin.SourceData(temps)), FloatBits(answered ? firstFan : none));
    EXPECT_EQ(FloatBits(plugin.SourceData(count)), NO_READING_BITS);
    EXPECT_EQ(FloatBits(plugin.SourceData(0xFFFFFFFFu)), NO_READING_BITS);
    Record record = Describe(plugin, temps);
    EXPECT_EQ(record.result, answered ? 14 : 0) << "descriptor of the first fan";
    EXPECT_EQ(record.Untouched(), !answered);
}

TEST(HostileBlocks, HeaderMatrixInFullAndSmallMappings) {
    for (uint32_t mappingBytes : {uint32_t(sizeof(SharedSensorBlock)), kHeaderOnly}) {
        for (const HeaderCase &c : kHeaders) {
            bool slotsInMapping = mappingBytes >= sizeof(SharedSensorBlock);
            SCOPED_TRACE(std::string(c.what) +
                         (slotsInMapping ? ", full mapping" : ", header-only mapping"));
            FakeMonitor monitor(mappingBytes);
            ASSERT_TRUE(monitor.ok());
            SharedSensorBlock &block = monitor.block();
            WriteValidBlock(block, monitor.window(), mappingBytes);
            c.write(block);
            Plugin plugin;
            ASSERT_TRUE(plugin.loaded());

            ExpectAnswers(plugin, block, c.accepted, slotsInMapping);
            EXPECT_EQ(CountOtherViewsOf(monitor.view()), c.accepted ? 1 : 0)
                << "a rejected block must be released at once";
            if (!c.accepted) {
                // Tried again on every call: the repaired block is taken up at once.
                WriteValidBlock(block, monitor.window(), mappingBytes);
                ExpectAnswers(plugin, block, true, slotsInMapping);
                EXPECT_EQ(CountOtherViewsOf(monitor.view()), 1) << "repaired block held";
            }
            monitor.CloseOwnHandle();
            EXPECT_TRUE(BlockNameOpens()) << "the accepted block is held until unload";
            plugin.Unload();
            EXPECT_FALSE(BlockNameOpens()) << "unload must close the handle";
            EXPECT_EQ(CountOtherViewsOf(monitor.view()), 0) << "unload must unmap the view";
        }
    }
}

// What kdhost's diagnosis must find for a rejected header, from the field the
// case breaks (its name begins with it).
Finding RejectedFinding(const std::string &what) {
    if (what.rfind("version", 0) == 0) {
        return Finding::WrongVersion;
    }
    return what.rfind("size", 0) == 0 ? Finding::TooShort : Finding::TooManyReadings;
}

// The plug-in and kdhost's diagnosis read the same live block: the plug-in
// offers sources exactly when the diagnosis finds the block live, and names
// the broken rule otherwise.
TEST(HostileBlocks, DiagnosisAgreesWithThePluginOnEveryHeader) {
    for (uint32_t mappingBytes : {uint32_t(sizeof(SharedSensorBlock)), kHeaderOnly}) {
        for (const HeaderCase &c : kHeaders) {
            SCOPED_TRACE(std::string(c.what) + (mappingBytes == kHeaderOnly
                                                    ? ", header-only mapping"
                                                    : ", full mapping"));
            FakeMonitor monitor(mappingBytes);
            ASSERT_TRUE(monitor.ok());
            WriteValidBlock(monitor.block(), monitor.window(), mappingBytes);
            c.write(monitor.block());
            Plugin plugin;
            ASSERT_TRUE(plugin.loaded());
            const bool offered = plugin.SourcesNum() > 0;
            const Diagnosis diagnosis = DiagnoseBlock(CopySharedBlock());

            EXPECT_EQ(offered, c.accepted) << "the plug-in";
            EXPECT_EQ(diagnosis.finding, c.accepted ? Finding::Live : RejectedFinding(c.what))
                << "the diagnosis found " << FindingName(diagnosis.finding) << ": "
                << diagnosis.sentence;
        }
    }
}

struct BrokenRulesCase {
    const char *what;
    std::function<void(SharedSensorBlock &)> write;
    BlockRule rule;       // the first rule broken, in the plug-in's order
    const char *sentence; // words the diagnosis must use for it
};

// A header that breaks several rules is named by the first, in one order.
TEST(HostileBlocks, TheFirstBrokenRuleIsNamed) {
    const BrokenRulesCase cases[] = {
        {"version and every count",
         [](SharedSensorBlock &b) {
             b.version = 2;
             b.numTemps = b.numFans = b.numExtra = 33;
         },
         BLOCK_WRONG_VERSION, "layout version 2"},
        {"size and a count",
         [](SharedSensorBlock &b) {
             b.size = 401;
             b.numFans = 40;
         },
         BLOCK_TOO_SMALL, "size of 401 bytes"},
        {"fans and extra",
         [](SharedSensorBlock &b) {
             b.numFans = 33;
             b.numExtra = 0xFFFF;
         },
         BLOCK_TOO_MANY_FANS, "33 fans"},
        {"extra alone", [](SharedSensorBlock &b) { b.numExtra = 33; }, BLOCK_TOO_MANY_EXTRA,
         "33 extra readings"},
        {"temperatures before the rest",
         [](SharedSensorBlock &b) {
             b.numTemps = 1000;
             b.numFans = 1000;
         },
         BLOCK_TOO_MANY_TEMPS, "1000 temperatures"},
    };
    for (const BrokenRulesCase &c : cases) {
        SCOPED_TRACE(c.what);
        BlockCopy copy;
        copy.access = BlockAccess::Copied;
        copy.viewBytes = sizeof copy.block;
        copy.windowExists = true;
        WriteValidBlock(copy.block, nullptr, sizeof copy.block);
        c.write(copy.block);
        EXPECT_EQ(ClassifyBlockHeader(&copy.block), c.rule);
        const Diagnosis diagnosis = DiagnoseBlock(copy);
        EXPECT_NE(diagnosis.sentence.find(c.sentence), std::string::npos) << diagnosis.sentence;
    }
}

// The child side: a valid header published by a process with no window.
// "none" never had one (hwnd 0); "destroyed" publishes its window, then
// destroys it and goes on running.
int PublishWithoutWindow(const std::string &kind) {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(SharedSensorBlock), SHARED_BLOCK_NAME);
    if (mapping == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) {
        return 1;
    }
    auto *block =
        static_cast<SharedSensorBlock *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    HWND window = kind == "destroyed" ? CreateMessageWindow() : nullptr;
    WriteValidBlock(*block, window, sizeof *block);
    if (window != nullptr) {
        DestroyWindow(window);
    }
    Sleep(60000); // the test kills us long before
    return 0;
}

struct WindowlessCase {
    const char *what;
    const char *kind;
};

TEST(HostileBlocks, BlockFromAProcessWithNoWindow) {
    const WindowlessCase cases[] = {
        {"hwnd 0: the process never had a window", "none"},
        {"hwnd of a window the process destroyed", "destroyed"},
    };
    for (const WindowlessCase &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
        ChildProcess child =
            StartTool("hostile_block_test.exe", std::string("--publish-without-window ") + c.kind);
        ASSERT_TRUE(child.started);
        ASSERT_TRUE(WaitUntil(BlockNameOpens, 20000)) << "the child never published";
        HANDLE ours = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
        const void *view = MapViewOfFile(ours, FILE_MAP_READ, 0, 0, 0);
        ASSERT_NE(view, nullptr);
        WaitUntil([&] { return static_cast<const SharedSensorBlock *>(view)->flags != 0; }, 20000);

        Plugin plugin;
        ASSERT_TRUE(plugin.loaded());
        for (int call = 0; call < 3; ++call) {
            ExpectAnswers(plugin, *static_cast<const SharedSensorBlock *>(view), false, true);
        }
        EXPECT_EQ(CountOtherViewsOf(view), 1) << "a valid block that is not live is kept";
        KillProcess(child);
        UnmapViewOfFile(view);
        CloseHandle(ours);
        EXPECT_EQ(plugin.SourcesNum(), 0) << "after the publisher ended";
        plugin.Unload();
        EXPECT_FALSE(BlockNameOpens()) << "nothing left behind";
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "--publish-without-window") == 0) {
        return PublishWithoutWindow(argv[2]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
