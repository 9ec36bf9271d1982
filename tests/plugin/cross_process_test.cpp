// kdmonitor.exe in its own process as the publisher, the plug-in in ours.
#include <gtest/gtest.h>

#include "support/fake_monitor.h"
#include "support/plugin.h"
#include "support/processes.h"
#include "support/readings.h"

namespace {

bool HasSources(Plugin &plugin, int32_t count) {
    return WaitUntil([&] { return plugin.SourcesNum() == count; }, 20000);
}

TEST(CrossProcess, MonitorStoppedAndStartedAgainWithoutReload) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    Plugin plugin;
    ASSERT_TRUE(plugin.loaded());
    EXPECT_EQ(plugin.SourcesNum(), 0) << "before the monitor starts";

    ChildProcess monitor = StartTool("kdmonitor.exe", "--temps 45.5,52 --fans 900,1200,0");
    ASSERT_TRUE(monitor.started);
    ASSERT_TRUE(HasSources(plugin, 5)) << "kdmonitor never published 5 sources";
    const float expected[] = {ExactProduct(4550), ExactProduct(5200), 900.0f, 1200.0f, 0.0f};
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(FloatBits(plugin.SourceData(i)), FloatBits(expected[i])) << "index " << i;
    }
    EXPECT_EQ(FloatBits(plugin.SourceData(5)), NO_READING_BITS);

    ChildProcess stop = StartTool("kdmonitor.exe", "--stop");
    EXPECT_EQ(WaitForExit(stop, 20000), 0) << "kdmonitor --stop";
    EXPECT_EQ(WaitForExit(monitor, 20000), 0) << "monitor must stop cleanly";
    EXPECT_EQ(plugin.SourcesNum(), 0) << "stopped monitor";
    EXPECT_EQ(FloatBits(plugin.SourceData(0)), NO_READING_BITS) << "stopped monitor";

    // The plug-in still holds the old block; a new monitor takes it over.
    ChildProcess again = StartTool("kdmonitor.exe", "--temps 30 --fans 1500");
    ASSERT_TRUE(again.started);
    ASSERT_TRUE(HasSources(plugin, 2)) << "restarted monitor not seen";
    EXPECT_EQ(FloatBits(plugin.SourceData(0)), FloatBits(30.0f));
    EXPECT_EQ(FloatBits(plugin.SourceData(1)), FloatBits(1500.0f));

    KillProcess(again);
    EXPECT_EQ(plugin.SourcesNum(), 0) << "killed monitor";
    EXPECT_TRUE(BlockNameOpens()) << "the plug-in alone keeps the block now";
    plugin.Unload();
    EXPECT_FALSE(BlockNameOpens()) << "nothing left behind";
}

} // namespace
