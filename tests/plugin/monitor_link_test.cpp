// Finding, validating, holding and releasing the monitor's block, and telling a
// live monitor from a stopped one, through the built DLL.
#include <gtest/gtest.h>

#include <functional>

#include "monitor_link/window_handle.h"
#include "support/fake_monitor.h"
#include "support/header_cases.h"
#include "support/plugin.h"
#include "support/readings.h"

namespace {

// A rejected block is released at once: once the monitor side drops its own
// handle the name no longer opens. An accepted one stays held until unload.
TEST(Validation, HeaderTable) {
    for (const HeaderCase &c : kHeaders) {
        SCOPED_TRACE(c.what);
        FakeMonitor monitor;
        ASSERT_TRUE(monitor.ok());
        monitor.Publish({2500}, {800, 900});
        c.write(monitor.block());
        Plugin plugin;
        ASSERT_TRUE(plugin.loaded());
        int32_t expected = int32_t(monitor.block().numTemps) + monitor.block().numFans;
        EXPECT_EQ(plugin.SourcesNum(), c.accepted ? expected : 0);
        EXPECT_EQ(FloatBits(plugin.SourceData(0)),
                  FloatBits(c.accepted ? ExactProduct(2500) : NO_READING));
        monitor.CloseOwnHandle();
        EXPECT_EQ(BlockNameOpens(), c.accepted)
            << (c.accepted ? "accepted block must be held" : "rejected block must be released");
        EXPECT_EQ(CountOtherViewsOf(monitor.view()), c.accepted ? 1 : 0) << "views left mapped";
        plugin.Unload();
        EXPECT_FALSE(BlockNameOpens()) << "unload must release the handle";
        EXPECT_EQ(CountOtherViewsOf(monitor.view()), 0) << "unload must release the view";
    }
}

TEST(Liveness, FlagClearKeepsTheViewAndASetFlagUsesItAgain) {
    FakeMonitor monitor;
    ASSERT_TRUE(monitor.ok());
    monitor.Publish({2500, 2600}, {700});
    monitor.SetLive(false);
    Plugin plugin;
    EXPECT_EQ(plugin.SourcesNum(), 0) << "bit 0 clear";
    EXPECT_EQ(FloatBits(plugin.SourceData(0)), NO_READING_BITS) << "bit 0 clear";
    monitor.CloseOwnHandle();
    EXPECT_TRUE(BlockNameOpens()) << "a block that is only not live is kept";
    // Validation runs only on a new open: an invalid header now proves the
    // module goes on with the view it holds.
    monitor.block().version = 2;
    monitor.SetLive(true);
    EXPECT_EQ(plugin.SourcesNum(), 3) << "bit 0 set again";
    EXPECT_EQ(FloatBits(plugin.SourceData(2)), FloatBits(700.0f));
}

struct WindowCase {
    const char *what;
    std::function<void(FakeMonitor &)> act;
    int32_t expected;
};

TEST(Liveness, WindowTable) {
    const WindowCase cases[] = {
        {"live window", [](FakeMonitor &) {}, 3},
        {"hwnd 0", [](FakeMonitor &m) { m.block().hwnd = 0; }, 0},
        {"garbage hwnd", [](FakeMonitor &m) { m.block().hwnd = 0xDEADBEEF; }, 0},
        {"window destroyed", [](FakeMonitor &m) { m.DestroyWindowOnly(); }, 0},
        {"new window published", [](FakeMonitor &m) { m.ReplaceWindow(); }, 3},
        {"new window destroyed", [](FakeMonitor &m) { m.DestroyWindowOnly(); }, 0},
        {"another new window", [](FakeMonitor &m) { m.ReplaceWindow(); }, 3},
    };
    FakeMonitor monitor;
    ASSERT_TRUE(monitor.ok());
    monitor.Publish({2500, 2600}, {700});
    Plugin plugin;
    for (const WindowCase &c : cases) {
        c.act(monitor);
        EXPECT_EQ(plugin.SourcesNum(), c.expected) << c.what;
        EXPECT_EQ(FloatBits(plugin.SourceData(2)), FloatBits(c.expected ? 700.0f : NO_READING))
            << c.what;
    }
}

// The module's own widening of the block's 32-bit hwnd, on its own: sign
// extension to the width of a handle. The 64-bit column is what an x64 reader
// must see; an x86 one sees the low half of it, the field unchanged.
TEST(WindowHandle, WidenedBySignExtension) {
    const struct {
        uint32_t field;
        uint64_t widened; // as a 64-bit handle
    } cases[] = {
        {0x00010042u, 0x0000000000010042ull}, {0x7FFFFFFFu, 0x000000007FFFFFFFull},
        {0x80000000u, 0xFFFFFFFF80000000ull}, {0xFFFFFFFFu, 0xFFFFFFFFFFFFFFFFull},
        {0x00000000u, 0x0000000000000000ull},
    };
    for (const auto &c : cases) {
        HWND window = WindowFromBlockField(c.field);
        EXPECT_EQ(uint64_t(UINT_PTR(window)), uint64_t(UINT_PTR(c.widened)))
            << std::hex << "field 0x" << c.field;
        EXPECT_EQ(BlockFieldFromWindow(window), c.field) << std::hex << "back from 0x" << c.field;
    }
}

TEST(Lifecycle, MonitorAppearingLaterIsFoundWithoutReload) {
    ASSERT_FALSE(BlockNameOpens());
    Plugin plugin;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(plugin.SourcesNum(), 0) << "call " << i << " without a monitor";
    }
    FakeMonitor monitor;
    ASSERT_TRUE(monitor.ok());
    monitor.Publish({4550}, {900, 1200});
    EXPECT_EQ(plugin.SourcesNum(), 3);
    EXPECT_EQ(FloatBits(plugin.SourceData(0)), FloatBits(ExactProduct(4550)));
}

struct CountsCase {
    const char *what;
    uint16_t temps, fans;
    uint32_t index;
    float expected;
};

// Counts changed by the monitor between calls change the next answer only.
TEST(Counts, ChangingBetweenCalls) {
    const CountsCase cases[] = {
        {"T=2 F=1, index 2 is fans[0]", 2, 1, 2, 100.0f},
        {"T=1 F=3, index 1 is fans[0]", 1, 3, 1, 100.0f},
        {"T=1 F=3, index 3 is fans[2]", 1, 3, 3, 300.0f},
        {"T=0 F=0, nothing", 0, 0, 0, NO_READING},
        {"T=3 F=0, index 2 is temps[2]", 3, 0, 2, ExactProduct(1300)},
        {"T=3 F=0, index 3 is out of range", 3, 0, 3, NO_READING},
    };
    FakeMonitor monitor;
    ASSERT_TRUE(monitor.ok());
    monitor.Publish({1100, 1200, 1300}, {100, 200, 300});
    Plugin plugin;
    for (const CountsCase &c : cases) {
        monitor.block().numTemps = c.temps;
        monitor.block().numFans = c.fans;
        EXPECT_EQ(plugin.SourcesNum(), c.temps + c.fans) << c.what;
        EXPECT_EQ(FloatBits(plugin.SourceData(c.index)), FloatBits(c.expected)) << c.what;
    }
}

// After acceptance a count may grow past 32; the module then takes it as 32 and
// never reads past a group's slots, here into the third group or past the block.
TEST(Counts, GrownPast32AfterAcceptanceStaysInsideTheSlots) {
    FakeMonitor monitor;
    ASSERT_TRUE(monitor.ok());
    std::vector<int32_t> temps(32, 1111), fans(32, 2222);
    monitor.Publish(temps, fans);
    for (int32_t &slot : monitor.block().extra) {
        slot = 3333; // a plausible fan speed and temperature: must never show up
    }
    monitor.block().numTemps = 2;
    monitor.block().numFans = 1;
    Plugin plugin;
    ASSERT_EQ(plugin.SourcesNum(), 3);
    monitor.block().fans[0] = 900;
    monitor.block().numTemps = 40;
    EXPECT_EQ(plugin.SourcesNum(), 33) << "numTemps 40 counts as 32";
    EXPECT_EQ(FloatBits(plugin.SourceData(31)), FloatBits(ExactProduct(1111)));
    EXPECT_EQ(FloatBits(plugin.SourceData(32)), FloatBits(900.0f)) << "index 32 is fans[0]";
    EXPECT_EQ(FloatBits(plugin.SourceData(33)), NO_READING_BITS) << "index 33";
    monitor.block().numFans = 0xFFFF;
    EXPECT_EQ(plugin.SourcesNum(), 64);
    for (uint32_t index = 0; index < 80; ++index) {
        float value = plugin.SourceData(index);
        bool expected = index < 32   ? value == ExactProduct(1111)
                        : index < 64 ? (value == 2222.0f || value == 900.0f)
                                     : FloatBits(value) == NO_READING_BITS;
        EXPECT_TRUE(expected) << "index " << index << " read " << value;
    }
}

} // namespace
