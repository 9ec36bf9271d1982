// Host threads calling the exports while the block changes under them, and
// many host threads making their first call at the same moment.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/desc_record.h"
#include "support/fake_monitor.h"
#include "hostile_values.h"
#include "support/plugin.h"
#include "support/plugin_copy.h"
#include "support/readings.h"

namespace {

// xorshift32: a fixed, cheap sequence per thread, so a failure can be replayed.
struct Random {
    uint32_t state;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    template <typename T> const T &Pick(const std::vector<T> &values) {
        return values[Next() % values.size()];
    }
};

const std::vector<uint16_t> kCounts = {0,  1,  2,   3,      16,     31,     32,
                                       33, 64, 100, 0x7FFF, 0x8000, 0xFFFE, 0xFFFF};

// What the writer puts in hwnd: the live window most often, else dead and garbage handles.
struct WindowChoices {
    std::vector<uint32_t> values;
};

WindowChoices MakeWindowChoices(HWND live) {
    HWND dead = CreateMessageWindow();
    DestroyWindow(dead);
    uint32_t liveValue = uint32_t(UINT_PTR(live));
    return {{liveValue, liveValue, liveValue, liveValue, liveValue, uint32_t(UINT_PTR(dead)), 0, 1,
             0xDEADBEEF, 0xFFFFFFFF, liveValue ^ 0x00010000}};
}

// One step of a monitor gone wrong: plain stores into the mapping, as another
// process would make them, touching every field the module reads.
void MutateBlock(volatile SharedSensorBlock *block, Random &random, const WindowChoices &windows) {
    uint32_t what = random.Next() % 16;
    uint32_t slot = random.Next() % SENSOR_SLOTS;
    // Half the time a count the header may hold, so that opens succeed now and then.
    auto count = [&] {
        uint32_t kind = random.Next() % 4;
        return kind < 2    ? uint16_t(random.Next() % (SENSOR_SLOTS + 1))
               : kind == 2 ? random.Pick(kCounts)
                           : uint16_t(random.Next());
    };
    if (what < 8) {
        block->temps[slot] = random.Pick(kHostileTemps);
        block->fans[slot] = random.Pick(kHostileFans);
    } else if (what == 8) {
        block->numTemps = count();
    } else if (what == 9) {
        block->numFans = count();
    } else if (what == 10) {
        block->numExtra = count();
    } else if (what == 11) {
        block->flags = random.Next() % 4 ? FLAG_PUBLISHING : 0;
    } else if (what == 12) {
        block->flags = uint8_t(random.Next() | 1); // other bits are noise
    } else if (what == 13) {
        block->hwnd = random.Pick(windows.values);
    } else if (what == 14) {
        block->version = random.Next() % 4 ? SHARED_BLOCK_VERSION : uint16_t(random.Next());
    } else {
        block->size = random.Next() % 4 ? SHARED_BLOCK_MIN_SIZE : random.Next();
    }
}

struct Tally {
    long readings = 0; // answers other than NO_READING
    long bad = 0;
    std::string firstBad;

    void Bad(const std::string &what) {
        if (bad++ == 0) {
            firstBad = what;
        }
    }
};

// With no settings file a descriptor is a default one, whole and consistent, or
// no answer with the record untouched; "" when it is so, else what is wrong.
std::string DescriptorProblem(Record &r) {
    if (r.result == 0) {
        return r.Untouched() ? "" : "result 0 but the record was written";
    }
    const bool fan = r.units() == "RPM";
    const std::string prefix = fan ? "KD fan speed " : "KD temperature ";
    const std::string name = r.name();
    const std::string number = name.substr(std::min(prefix.size(), name.size()));
    const int n = std::atoi(number.c_str());
    const SourceDesc &d = *r.desc();
    bool whole = name.compare(0, prefix.size(), prefix) == 0 && n >= 1 && n <= int(SENSOR_SLOTS) &&
                 std::to_string(n) == number && r.result == int32_t(name.size()) &&
                 (fan || r.units() == kCelsius) && d.scaleMax == (fan ? 7000.0f : 150.0f) &&
                 d.scaleMin == 0.0f && d.scaleDivisions == (fan ? 7.0f : 6.0f);
    if (!whole) {
        return "result " + std::to_string(r.result) + ", name \"" + name + "\", units \"" +
               r.units() + "\"";
    }
    return r.OnlyWrittenUpToTerminators() ? "" : "bytes past a terminator written";
}

const uint32_t kOddIndices[] = {64, 65, 0x7FFF, 0xFFFF, 0x80000000u, 0xFFFFFFFFu};

void HostLoop(const Plugin &plugin, const std::set<uint32_t> &answers, int iterations,
              uint32_t seed, Tally &tally) {
    Random random{seed};
    for (int i = 0; i < iterations; ++i) {
        int32_t count = plugin.SourcesNum();
        if (count < 0 || count > 2 * SENSOR_SLOTS) {
            tally.Bad("GetSourcesNum gave " + std::to_string(count));
        }
        uint32_t index = i % 8 == 7 ? kOddIndices[random.Next() % 6] : random.Next() % 66;
        float value = plugin.SourceData(index);
        uint32_t bits = FloatBits(value);
        if (answers.count(bits) == 0) {
            char what[80];
            std::snprintf(what, sizeof what, "GetSourceData(%u) gave %.9g (bits %08X)",
                          unsigned(index), double(value), unsigned(bits));
            tally.Bad(what);
        } else if (bits != NO_READING_BITS) {
            ++tally.readings;
        }
        // Each descriptor reads the settings file: a slower call, made less often.
        if (i % 16 == 0) {
            Record record = Describe(plugin, index);
            std::string problem = DescriptorProblem(record);
            if (!problem.empty()) {
                tally.Bad("GetSourceDesc(" + std::to_string(index) + "): " + problem);
            }
        }
    }
}

void FillWithSentinels(void *from, size_t bytes) {
    char *at = static_cast<char *>(from);
    for (size_t i = 0; i + sizeof kSentinel <= bytes; i += sizeof kSentinel) {
        std::memcpy(at + i, &kSentinel, sizeof kSentinel);
    }
}

TEST(Concurrency, AnswersStayInsideTheGroupsWhileTheMonitorRewritesEverything) {
    const std::set<uint32_t> answers = PossibleAnswers(kHostileTemps, kHostileFans);
    ASSERT_EQ(answers.count(FloatBits(float(kSentinel))), 0u) << "sentinel must be recognisable";
    ASSERT_EQ(answers.count(FloatBits(ExactProduct(kSentinel))), 0u)
        << "sentinel must be recognisable";

    constexpr uint32_t kMappingBytes = 8192;
    constexpr int kRounds = 6, kHostThreads = 4, kIterations = 50000;
    FakeMonitor monitor(kMappingBytes);
    ASSERT_TRUE(monitor.ok());
    SharedSensorBlock &block = monitor.block();
    for (int32_t &slot : block.extra) {
        slot = kSentinel;
    }
    FillWithSentinels(&block + 1, kMappingBytes - sizeof block);
    const WindowChoices windows = MakeWindowChoices(monitor.window());
    PluginCopy copy("concurrency"); // no settings file: default names, Celsius
    ASSERT_TRUE(copy.ok());

    // Which states the hosts meet depends on when the writer gets the processor;
    // over all rounds some calls must have found a live block and read it.
    long readings = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Every slot starts with a value the answers allow for, not the last
        // round's check values.
        for (uint32_t slot = 0; slot < SENSOR_SLOTS; ++slot) {
            block.temps[slot] = kHostileTemps[slot % kHostileTemps.size()];
            block.fans[slot] = kHostileFans[slot % kHostileFans.size()];
        }
        // Every round starts from a fresh load, so first opens meet the changes too.
        std::unique_ptr<Plugin> loaded = copy.Load();
        const Plugin &plugin = *loaded;
        ASSERT_TRUE(plugin.loaded());
        std::atomic<bool> hostsDone{false};
        std::thread writer([&] {
            Random random{0x9E3779B9u + uint32_t(round)};
            while (!hostsDone.load(std::memory_order_relaxed)) {
                MutateBlock(&block, random, windows);
            }
        });
        std::vector<Tally> tallies(kHostThreads);
        std::vector<std::thread> hosts;
        for (int t = 0; t < kHostThreads; ++t) {
            hosts.emplace_back(HostLoop, std::cref(plugin), std::cref(answers), kIterations,
                               uint32_t(round * 100 + t + 1), std::ref(tallies[t]));
        }
        for (std::thread &host : hosts) {
            host.join();
        }
        hostsDone = true;
        writer.join();

        for (const Tally &tally : tallies) {
            EXPECT_EQ(tally.bad, 0) << "first: " << tally.firstBad;
            readings += tally.readings;
        }
        for (int32_t slot : block.extra) {
            ASSERT_EQ(slot, kSentinel) << "the third group is the monitor's alone";
        }

        // A sane block again: the plug-in answers it exactly, from one view at most.
        block.version = SHARED_BLOCK_VERSION;
        block.size = SHARED_BLOCK_MIN_SIZE;
        block.hwnd = uint32_t(UINT_PTR(monitor.window()));
        block.numExtra = 0;
        monitor.Publish({4550, 5200}, {900});
        monitor.SetLive(true);
        EXPECT_EQ(plugin.SourcesNum(), 3);
        EXPECT_EQ(FloatBits(plugin.SourceData(2)), FloatBits(900.0f));
        EXPECT_EQ(CountOtherViewsOf(monitor.view()), 1);
        loaded.reset();
        EXPECT_EQ(CountOtherViewsOf(monitor.view()), 0);
    }
    EXPECT_GT(readings, 0) << "no call ever saw a reading: the changes were never read";
}

// Many host threads making their first call at one moment, through all three
// exports: each gets the right answer, one view stays held, and the threads
// that lost the race closed their handles too (after unload the name is gone).
TEST(Concurrency, SimultaneousFirstCallsFromManyThreads) {
    constexpr int kRounds = 25, kThreads = 32;
    const float expected[] = {ExactProduct(4550), ExactProduct(5200), 900.0f, 1200.0f, 0.0f};
    const char *const names[] = {"KD temperature 1", "KD temperature 2", "KD fan speed 1",
                                 "KD fan speed 2", "KD fan speed 3"};
    PluginCopy copy("first-calls");
    ASSERT_TRUE(copy.ok());
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        FakeMonitor monitor;
        ASSERT_TRUE(monitor.ok());
        monitor.Publish({4550, 5200}, {900, 1200, 0});
        std::unique_ptr<Plugin> plugin = copy.Load();
        ASSERT_TRUE(plugin->loaded());
        HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::atomic<int> waiting{0}, right{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                uint32_t index = uint32_t(t / 3) % 5;
                ++waiting;
                WaitForSingleObject(gate, INFINITE);
                bool ok = t % 3 == 0 ? plugin->SourcesNum() == 5
                          : t % 3 == 1
                              ? FloatBits(plugin->SourceData(index)) == FloatBits(expected[index])
                              : Describe(*plugin, index).name() == names[index];
                right += ok ? 1 : 0;
            });
        }
        while (waiting.load() < kThreads) {
            Sleep(0);
        }
        SetEvent(gate);
        for (std::thread &t : threads) {
            t.join();
        }
        CloseHandle(gate);
        EXPECT_EQ(right.load(), kThreads);
        EXPECT_EQ(CountOtherViewsOf(monitor.view()), 1) << "views held after the race";
        plugin.reset();
        EXPECT_EQ(CountOtherViewsOf(monitor.view()), 0) << "views left after unload";
        monitor.CloseOwnHandle();
        EXPECT_FALSE(BlockNameOpens()) << "a handle was left open";
    }
}

} // namespace
