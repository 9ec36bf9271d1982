// kdmonitor.exe killed hard in the middle of its run and started again, round
// after round, while the plug-in stays loaded and a host thread keeps calling.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/desc_record.h"
#include "support/fake_monitor.h"
#include "support/plugin.h"
#include "support/processes.h"
#include "support/readings.h"

namespace {

constexpr int kRounds = 20;

// Round r publishes one temperature and 1 to 3 fans, all its own values.
struct Published {
    int32_t temp;
    std::vector<int32_t> fans;

    explicit Published(int round) : temp(2000 + 125 * round) {
        for (int i = 0; i <= round % 3; ++i) {
            fans.push_back(1000 + 10 * round + i);
        }
    }
    std::string Arguments() const {
        std::string args = "--temps " + std::to_string(temp / 100) + "." +
                           std::to_string(temp % 100 / 10) + std::to_string(temp % 10) + " --fans ";
        for (size_t i = 0; i < fans.size(); ++i) {
            args += (i ? "," : "") + std::to_string(fans[i]);
        }
        return args;
    }
    int32_t count() const {
        return int32_t(1 + fans.size());
    }
};

// What a host thread may see at any moment of any round: a round's values,
// a fan slot the newest round left at zero, or no reading.
std::set<uint32_t> AnyRoundsAnswers() {
    std::set<uint32_t> answers = {NO_READING_BITS, FloatBits(0.0f)};
    for (int round = 0; round < kRounds; ++round) {
        Published p(round);
        answers.insert(FloatBits(ExactProduct(p.temp)));
        for (int32_t fan : p.fans) {
            answers.insert(FloatBits(float(fan)));
        }
    }
    return answers;
}

bool Shows(const Plugin &plugin, const Published &p) {
    if (plugin.SourcesNum() != p.count() ||
        FloatBits(plugin.SourceData(0)) != FloatBits(ExactProduct(p.temp))) {
        return false;
    }
    for (size_t i = 0; i < p.fans.size(); ++i) {
        if (FloatBits(plugin.SourceData(uint32_t(1 + i))) != FloatBits(float(p.fans[i]))) {
            return false;
        }
    }
    return FloatBits(plugin.SourceData(uint32_t(p.count()))) == NO_READING_BITS;
}

TEST(MonitorRestarts, KilledHardAndStartedAgainWithoutReload) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    Plugin plugin;
    ASSERT_TRUE(plugin.loaded());

    const std::set<uint32_t> answers = AnyRoundsAnswers();
    std::atomic<bool> done{false};
    std::atomic<long> calls{0}, wrong{0};
    std::thread host([&] {
        for (uint32_t i = 0; !done.load(); ++i) {
            wrong += plugin.SourcesNum() > 4 ? 1 : 0;
            wrong += answers.count(FloatBits(plugin.SourceData(i % 5))) ? 0 : 1;
            Record record = Describe(plugin, i % 5);
            wrong += record.result == 0 && !record.Untouched() ? 1 : 0;
            ++calls;
            Sleep(i % 64 == 0 ? 1 : 0);
        }
    });

    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const Published published(round);
        ChildProcess monitor = StartTool("kdmonitor.exe", published.Arguments());
        ASSERT_TRUE(monitor.started);
        EXPECT_TRUE(WaitUntil([&] { return Shows(plugin, published); }, 20000))
            << "kdmonitor " << published.Arguments() << " was never seen";
        KillProcess(monitor);
        EXPECT_EQ(plugin.SourcesNum(), 0) << "killed monitor";
        EXPECT_EQ(FloatBits(plugin.SourceData(0)), NO_READING_BITS) << "killed monitor";
        EXPECT_TRUE(Describe(plugin, 0).Untouched()) << "killed monitor";
    }
    done = true;
    host.join();
    EXPECT_EQ(wrong.load(), 0) << "of " << calls.load() << " rounds of calls on the host thread";
    EXPECT_GT(calls.load(), 0);

    plugin.Unload();
    EXPECT_FALSE(BlockNameOpens()) << "nothing left behind";
}

} // namespace
