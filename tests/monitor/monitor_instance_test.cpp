// One kdmonitor publishes at a time: two started together, again and again,
// and exactly one publishes while the other says so with its own exit code;
// and a monitor that stops leaves a block it no longer owns alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "exit_codes.h"
#include "monitor_link/shared_sensor_block.h"
#include "monitor_link/window_handle.h"
#include "support/fake_monitor.h"
#include "support/processes.h"

namespace {

// The block as the test sees it through a view of its own, while it lasts.
class BlockView {
  public:
    BlockView() {
        mapping_ = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, SHARED_BLOCK_NAME);
        if (mapping_ != nullptr) {
            view_ = static_cast<SharedSensorBlock *>(
                MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedSensorBlock)));
        }
    }
    ~BlockView() {
        if (view_ != nullptr) {
            UnmapViewOfFile(view_);
        }
        if (mapping_ != nullptr) {
            CloseHandle(mapping_);
        }
    }
    BlockView(const BlockView &) = delete;
    BlockView &operator=(const BlockView &) = delete;

    SharedSensorBlock *block() const {
        return view_;
    }

  private:
    HANDLE mapping_ = nullptr;
    SharedSensorBlock *view_ = nullptr;
};

bool Live(const SharedSensorBlock *block) {
    return block != nullptr && (block->flags & FLAG_PUBLISHING) != 0;
}

// Bounded both ways: at least a few rounds, at most kRounds or kBudgetMs.
constexpr int kRounds = 12, kMinRounds = 4;
constexpr DWORD kBudgetMs = 60000;

TEST(MonitorInstance, OfTwoStartedTogetherExactlyOnePublishesEveryTime) {
    const DWORD started = GetTickCount();
    int rounds = 0;
    for (; rounds < kRounds && (rounds < kMinRounds || GetTickCount() - started < kBudgetMs);
         ++rounds) {
        SCOPED_TRACE("round " + std::to_string(rounds + 1));
        CapturedTool first("kdmonitor.exe", "--temps 11 --duration 30");
        CapturedTool second("kdmonitor.exe", "--temps 22 --duration 30");
        ASSERT_TRUE(first.started() && second.started());
        auto refused = [](const CapturedTool &m) {
            return m.Errors().find("another monitor is already publishing") != std::string::npos;
        };
        ASSERT_TRUE(WaitUntil([&] { return refused(first) || refused(second); }, 30000))
            << "neither was refused; first: " << first.Output() << first.Errors()
            << " second: " << second.Output() << second.Errors();
        CapturedTool &loser = refused(first) ? first : second;
        CapturedTool &winner = refused(first) ? second : first;
        const int32_t winnerValue = &winner == &first ? 1100 : 2200;
        EXPECT_EQ(loser.Wait(20000), kExitAlreadyRunning) << loser.Errors();
        EXPECT_FALSE(refused(winner)) << "both were refused";
        ASSERT_TRUE(WaitForOutput(winner, "publishing")) << winner.Errors();
        EXPECT_EQ(loser.Output().find("publishing"), std::string::npos)
            << "the one refused said it publishes: " << loser.Output();
        {
            // The refused one has ended: the block is still the winner's, live.
            BlockView view;
            ASSERT_NE(view.block(), nullptr);
            EXPECT_TRUE(Live(view.block())) << "the refused monitor blanked the block";
            EXPECT_EQ(view.block()->temps[0], winnerValue) << "the block holds the other's value";
        }
        ChildProcess stop = StartTool("kdmonitor.exe", "--stop");
        EXPECT_EQ(WaitForExit(stop, 20000), kExitOk);
        EXPECT_EQ(winner.Wait(20000), kExitOk) << winner.Errors();
        if (HasFatalFailure() || HasFailure()) {
            break;
        }
    }
    EXPECT_GE(rounds, kMinRounds);
}

// A writer that does not take part in the instance rule (an older monitor, or
// a program of its own) has taken the block over: stopping leaves it live.
TEST(MonitorInstance, AStoppingMonitorLeavesABlockItNoLongerOwnsAlone) {
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 33 --duration 30", monitor));
    BlockView view;
    ASSERT_NE(view.block(), nullptr);
    const HWND other = CreateMessageWindow();
    ASSERT_NE(other, nullptr);
    view.block()->hwnd = BlockFieldFromWindow(other);

    ChildProcess stop = StartTool("kdmonitor.exe", "--stop");
    EXPECT_EQ(WaitForExit(stop, 20000), kExitOk);
    EXPECT_EQ(monitor->Wait(20000), kExitOk) << monitor->Errors();
    EXPECT_TRUE(Live(view.block())) << "the stopping monitor blanked another's block";
    EXPECT_EQ(view.block()->hwnd, BlockFieldFromWindow(other));
    view.block()->flags = 0;
    DestroyWindow(other);
}

// The rule holds for the next monitor too: a stopped one lets it start.
TEST(MonitorInstance, AMonitorStartsAgainOnceTheFirstHasStopped) {
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 44 --duration 1", monitor));
    EXPECT_EQ(monitor->Wait(20000), kExitOk) << monitor->Errors();
    ASSERT_TRUE(StartMonitor("--temps 45 --duration 30", monitor));
    ChildProcess killed = StartTool("kdmonitor.exe", "--temps 46 --duration 30");
    EXPECT_EQ(WaitForExit(killed, 20000), kExitAlreadyRunning);
    monitor->Kill(); // ended hard: its instance is abandoned, not held
    ASSERT_TRUE(StartMonitor("--temps 47 --duration 1", monitor)) << "after a monitor was killed";
    EXPECT_EQ(monitor->Wait(20000), kExitOk) << monitor->Errors();
}

} // namespace
