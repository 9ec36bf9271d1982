// The module's life as the loader drives it: attach with nothing around it,
// detach after an open, after a failed open and after none.
#include <gtest/gtest.h>

#include <memory>

#include "support/fake_monitor.h"
#include "support/plugin_copy.h"

namespace {

enum class Block { None, Live, Rejected, NotLive };

struct LifecycleCase {
    const char *what;
    Block block;
    bool call;     // the host calls GetSourcesNum before it unloads the module
    int32_t count; // and gets this answer
    bool held;     // after which the module holds the block's handle and view
};

const LifecycleCase kLifecycle[] = {
    {"no settings file, no monitor, attach only", Block::None, false, 0, false},
    {"no settings file, no monitor, one call", Block::None, true, 0, false},
    {"live monitor, attach only: the block is not touched", Block::Live, false, 0, false},
    {"live monitor, one call: the block is held", Block::Live, true, 3, true},
    {"rejected block, one call: released at once", Block::Rejected, true, 0, false},
    {"monitor not live, one call: the view is kept", Block::NotLive, true, 0, true},
};

// Once the monitor side has closed its own handle, whether the name still opens
// tells whether the module holds a handle; unload must leave none behind, and
// must close nothing that is not its own.
TEST(Lifecycle, AttachAndDetach) {
    for (const LifecycleCase &c : kLifecycle) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
        std::unique_ptr<FakeMonitor> monitor;
        if (c.block != Block::None) {
            monitor = std::make_unique<FakeMonitor>();
            ASSERT_TRUE(monitor->ok());
            monitor->Publish({2500, 2600}, {900});
            monitor->block().version = c.block == Block::Rejected ? 2 : 1;
            monitor->SetLive(c.block != Block::NotLive);
        }
        PluginCopy copy("lifecycle"); // a fresh folder: no settings file beside the copy
        ASSERT_TRUE(copy.ok());
        std::unique_ptr<Plugin> plugin = copy.Load();
        ASSERT_TRUE(plugin->loaded()) << "attach must succeed";
        if (c.call) {
            EXPECT_EQ(plugin->SourcesNum(), c.count);
        }
        // Opened after whatever the module opened and closed, so it likely
        // reuses a handle value the module once had.
        HANDLE hostEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ASSERT_NE(hostEvent, nullptr);
        if (monitor) {
            monitor->CloseOwnHandle();
            EXPECT_EQ(BlockNameOpens(), c.held) << "before unload";
            EXPECT_EQ(CountOtherViewsOf(monitor->view()), c.held ? 1 : 0) << "before unload";
        }
        plugin.reset();
        EXPECT_FALSE(BlockNameOpens()) << "unload must release the handle";
        if (monitor) {
            EXPECT_EQ(CountOtherViewsOf(monitor->view()), 0) << "unload must release the view";
        }
        EXPECT_TRUE(SetEvent(hostEvent)) << "unload closed a handle of the host's";
        CloseHandle(hostEvent);
    }
}

// Loaded, unloaded and loaded again: each load starts from zeroed state and
// finds the block afresh.
TEST(Lifecycle, ReloadFindsTheBlockAgain) {
    FakeMonitor monitor;
    ASSERT_TRUE(monitor.ok());
    monitor.Publish({2500}, {900, 1000});
    PluginCopy copy("reload-entry");
    ASSERT_TRUE(copy.ok());
    for (int load = 0; load < 3; ++load) {
        std::unique_ptr<Plugin> plugin = copy.Load();
        ASSERT_TRUE(plugin->loaded()) << "load " << load;
        EXPECT_EQ(plugin->SourcesNum(), 3) << "load " << load;
        EXPECT_EQ(CountOtherViewsOf(monitor.view()), 1) << "load " << load;
    }
    EXPECT_EQ(CountOtherViewsOf(monitor.view()), 0);
}

} // namespace
