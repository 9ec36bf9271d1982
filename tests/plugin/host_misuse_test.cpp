// A careless host: null records, absurd indices, calls after the monitor has
// vanished, and the plug-in loaded and unloaded a thousand times. Nothing may
// crash, and nothing may be left behind: no handle, no view, no module.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "support/desc_record.h"
#include "support/fake_monitor.h"
#include "support/plugin.h"
#include "support/readings.h"

namespace {

// The monitor states a host may meet; null means no monitor at all.
struct MonitorState {
    const char *what;
    std::function<void(FakeMonitor &)> enter;
    bool live;
};

const MonitorState kStates[] = {
    {"no monitor", nullptr, false},
    {"live monitor", [](FakeMonitor &) {}, true},
    {"monitor not live", [](FakeMonitor &m) { m.SetLive(false); }, false},
    {"monitor window gone", [](FakeMonitor &m) { m.DestroyWindowOnly(); }, false},
    {"rejected block", [](FakeMonitor &m) { m.block().version = 0xFFFF; }, false},
};

std::unique_ptr<FakeMonitor> Enter(const MonitorState &state) {
    if (!state.enter) {
        return nullptr;
    }
    auto monitor = std::make_unique<FakeMonitor>();
    monitor->Publish({4550, 5200}, {900});
    state.enter(*monitor);
    return monitor;
}

const uint32_t kAbsurdIndices[] = {3, 64, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};

TEST(HostMisuse, NullRecordsAndAbsurdIndicesInEveryMonitorState) {
    for (const MonitorState &state : kStates) {
        SCOPED_TRACE(state.what);
        ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
        std::unique_ptr<FakeMonitor> monitor = Enter(state);
        Plugin plugin;
        ASSERT_TRUE(plugin.loaded());
        for (uint32_t index : kAbsurdIndices) {
            SCOPED_TRACE("index " + std::to_string(index));
            EXPECT_EQ(FloatBits(plugin.SourceData(index)), NO_READING_BITS);
            Record record = Describe(plugin, index);
            EXPECT_EQ(record.result, 0);
            EXPECT_TRUE(record.Untouched());
            EXPECT_EQ(plugin.SourceDesc(index, nullptr), 0);
        }
        for (uint32_t index = 0; index < 3; ++index) {
            EXPECT_EQ(plugin.SourceDesc(index, nullptr), 0) << "null record, index " << index;
        }
        // The misuse left no mark: the same load answers normally.
        EXPECT_EQ(plugin.SourcesNum(), state.live ? 3 : 0);
        EXPECT_EQ(Describe(plugin, 2).result, state.live ? 14 : 0);
    }
}

// The monitor goes away entirely (view, window and handle) while the plug-in
// holds the block: the plug-in's own view keeps the memory, which now says the
// monitor is gone, and the host goes on calling.
TEST(HostMisuse, CallsAfterTheMonitorVanished) {
    const int viewsBefore = CountMappedViews();
    auto monitor = std::make_unique<FakeMonitor>();
    ASSERT_TRUE(monitor->ok());
    monitor->Publish({4550}, {900, 1000});
    Plugin plugin;
    ASSERT_EQ(plugin.SourcesNum(), 3);
    monitor.reset();
    ASSERT_TRUE(BlockNameOpens()) << "the plug-in holds the block on its own now";
    for (int call = 0; call < 1000; ++call) {
        uint32_t index = uint32_t(call % 5);
        ASSERT_EQ(plugin.SourcesNum(), 0) << "call " << call;
        ASSERT_EQ(FloatBits(plugin.SourceData(index)), NO_READING_BITS) << "call " << call;
        ASSERT_TRUE(Describe(plugin, index).Untouched()) << "call " << call;
    }
    plugin.Unload();
    EXPECT_FALSE(BlockNameOpens()) << "unload must close the last handle";
    EXPECT_EQ(CountMappedViews(), viewsBefore) << "a view was left mapped";
}

struct CycleCase {
    const char *what;
    int cycles;
    const MonitorState &state;
};

// Each cycle loads the DLL, calls every export and unloads it. Afterwards the
// module is gone, no view is mapped that was not mapped before, and once the
// monitor closes its own handle the name no longer opens: no cycle kept one.
TEST(HostMisuse, ThousandLoadUnloadCycles) {
    const CycleCase cases[] = {
        {"without a monitor", 1000, kStates[0]},
        {"with a live monitor", 1000, kStates[1]},
        {"with a monitor not live", 200, kStates[2]},
        {"with a rejected block", 200, kStates[4]},
    };
    for (const CycleCase &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
        std::unique_ptr<FakeMonitor> monitor = Enter(c.state);
        const int viewsBefore = CountMappedViews();
        int wrong = 0;
        for (int cycle = 0; cycle < c.cycles; ++cycle) {
            Plugin plugin;
            if (!plugin.loaded()) {
                FAIL() << "load failed at cycle " << cycle;
            }
            bool right =
                plugin.SourcesNum() == (c.state.live ? 3 : 0) &&
                FloatBits(plugin.SourceData(2)) == FloatBits(c.state.live ? 900.0f : NO_READING) &&
                Describe(plugin, 0).result == (c.state.live ? 16 : 0);
            wrong += right ? 0 : 1;
        }
        EXPECT_EQ(wrong, 0) << "cycles with a wrong answer";
        EXPECT_EQ(GetModuleHandleA("KelvoDyn.dll"), nullptr) << "module still loaded";
        EXPECT_EQ(CountMappedViews(), viewsBefore) << "views left mapped";
        if (monitor) {
            EXPECT_EQ(CountOtherViewsOf(monitor->view()), 0);
            monitor->CloseOwnHandle();
            EXPECT_FALSE(BlockNameOpens()) << "a handle to the block was left open";
        }
    }
}

} // namespace
