// Readings through the built DLL: the index space, the plausibility bounds and
// the conversion of hundredths, bit for bit, as a host receives them.
#include <gtest/gtest.h>

#include <thread>

#include "support/fake_monitor.h"
#include "support/plugin.h"
#include "support/plugin_copy.h"
#include "support/readings.h"
#include "return_register.h"

namespace {

const float kNone = NO_READING;

struct ReadingCase {
    const char *what;
    std::vector<int32_t> temps;
    std::vector<int32_t> fans;
    uint32_t index;
    float expected;
};

// Celsius mode (no settings file): temperatures within +-300.00, fans within +-15000.
const ReadingCase kReadings[] = {
    {"temp raw 30000 is the upper bound", {30000}, {}, 0, 300.0f},
    {"temp raw 30001 is past the bound", {30001}, {}, 0, kNone},
    {"temp raw -30000 is the lower bound", {-30000}, {}, 0, -300.0f},
    {"temp raw -30001 is past the bound", {-30001}, {}, 0, kNone},
    {"temp raw 455 is the rounded product", {455}, {}, 0, ExactProduct(455)},
    {"temp raw -251 keeps its sign", {-251}, {}, 0, ExactProduct(-251)},
    {"temp raw 1 is 0.01f itself", {1}, {}, 0, kHundredth},
    {"temp raw 0", {0}, {}, 0, 0.0f},
    {"temp raw 4550", {4550}, {}, 0, ExactProduct(4550)},
    {"temp raw 29999", {29999}, {}, 0, ExactProduct(29999)},
    {"temp raw 57200 needs Fahrenheit", {57200}, {}, 0, kNone},
    {"temp raw INT32_MAX", {INT32_MAX}, {}, 0, kNone},
    {"temp raw INT32_MIN", {INT32_MIN}, {}, 0, kNone},
    {"temp raw -60000: raw + bound wraps to twice the bound", {-60000}, {}, 0, kNone},
    {"temp raw -60001 is past the bound", {-60001}, {}, 0, kNone},
    {"temp raw 60000 is twice the bound", {60000}, {}, 0, kNone},
    {"fan raw 15000 is the upper bound", {}, {15000}, 0, 15000.0f},
    {"fan raw 15001 is past the bound", {}, {15001}, 0, kNone},
    {"fan raw -15000 is the lower bound", {}, {-15000}, 0, -15000.0f},
    {"fan raw -15001 is past the bound", {}, {-15001}, 0, kNone},
    {"fan raw 0", {}, {0}, 0, 0.0f},
    {"fan raw -1 keeps its sign", {}, {-1}, 0, -1.0f},
    {"fan raw INT32_MIN", {}, {INT32_MIN}, 0, kNone},
    {"fan raw -30000: raw + bound wraps to twice the bound", {}, {-30000}, 0, kNone},
    {"fan raw 30000 is twice the bound", {}, {30000}, 0, kNone},
    {"T=2 F=3: index 0 reads temps[0]", {1000, 2000}, {900, 1200, 0}, 0, 10.0f},
    {"T=2 F=3: index 1 reads temps[1]", {1000, 2000}, {900, 1200, 0}, 1, 20.0f},
    {"T=2 F=3: index 2 reads fans[0]", {1000, 2000}, {900, 1200, 0}, 2, 900.0f},
    {"T=2 F=3: index 4 reads fans[2]", {1000, 2000}, {900, 1200, 7}, 4, 7.0f},
    {"T=2 F=3: index 5 is out of range", {1000, 2000}, {900, 1200, 0}, 5, kNone},
    {"T=2 F=3: index 0x80000000", {1000, 2000}, {900, 1200, 0}, 0x80000000u, kNone},
    {"T=2 F=3: index 0xFFFFFFFF", {1000, 2000}, {900, 1200, 0}, 0xFFFFFFFFu, kNone},
    {"T=0 F=2: index 0 is the first fan", {}, {500, 600}, 0, 500.0f},
    {"T=0 F=0: index 0 is out of range", {}, {}, 0, kNone},
    {"T=32 F=32: index 31 is the last temperature", std::vector<int32_t>(32, 100),
     std::vector<int32_t>(32, 5), 31, 1.0f},
    {"T=32 F=32: index 63 is the last fan", std::vector<int32_t>(32, 100),
     std::vector<int32_t>(32, 5), 63, 5.0f},
    {"T=32 F=32: index 64 is out of range", std::vector<int32_t>(32, 100),
     std::vector<int32_t>(32, 5), 64, kNone},
};

class Readings : public ::testing::Test {
  protected:
    FakeMonitor monitor;
    Plugin plugin;
    void SetUp() override {
        ASSERT_TRUE(monitor.ok()) << "a block of that name was left behind";
        ASSERT_TRUE(plugin.loaded()) << "cannot load " << BuiltPluginPath();
    }
};

TEST_F(Readings, EachCaseReturnsTheExpectedFloatBitForBit) {
    for (const ReadingCase &c : kReadings) {
        monitor.Publish(c.temps, c.fans);
        float got = plugin.SourceData(c.index);
        EXPECT_EQ(FloatBits(got), FloatBits(c.expected))
            << c.what << ": got " << got << ", expected " << c.expected;
        EXPECT_EQ(plugin.SourcesNum(), int32_t(c.temps.size() + c.fans.size())) << c.what;
    }
}

TEST_F(Readings, Raw455IsTheFloatJustBelow455) {
    monitor.Publish({455}, {});
    EXPECT_EQ(FloatBits(plugin.SourceData(0)), 0x40919999u) << "nearest to 4.55 is 0x4091999A";
}

// The register a host reads the result from holds exactly the single-precision
// value, before the caller converts anything, on any thread.
void ExpectExactOnReturn(Plugin &plugin, FakeMonitor &monitor, const char *thread) {
    for (const ReadingCase &c : kReadings) {
        monitor.Publish(c.temps, c.fans);
        ReturnRegister held =
            CallAndReadReturnRegister(plugin.sourceDataFunction(), c.index, c.expected);
        EXPECT_TRUE(held.exact) << thread << ", " << c.what << ": " << held.seen;
    }
}

TEST_F(Readings, ResultIsExactInTheReturnRegister) {
    ExpectExactOnReturn(plugin, monitor, "main thread");
    std::thread other([&] { ExpectExactOnReturn(plugin, monitor, "new thread"); });
    other.join();
}

// With UseFahrenheit the temperature bound is 572.00 degrees on both sides; the
// fan bound stays as it is.
TEST_F(Readings, FahrenheitBoundOnBothSides) {
    PluginCopy copy("fahrenheit-bounds");
    copy.WriteSettings(SettingsText({"UseFahrenheit=yes"}));
    auto fahrenheit = copy.Load();
    ASSERT_TRUE(fahrenheit->loaded());
    const ReadingCase cases[] = {
        {"temp raw 57200 is the upper bound", {57200}, {}, 0, 572.0f},
        {"temp raw 57201 is past the bound", {57201}, {}, 0, kNone},
        {"temp raw -57200 is the lower bound", {-57200}, {}, 0, -572.0f},
        {"temp raw -57201 is past the bound", {-57201}, {}, 0, kNone},
        {"temp raw 30001 is within it", {30001}, {}, 0, ExactProduct(30001)},
        {"temp raw -30001 is within it", {-30001}, {}, 0, ExactProduct(-30001)},
        {"temp raw -114400: raw + bound wraps to twice the bound", {-114400}, {}, 0, kNone},
        {"temp raw 114400 is twice the bound", {114400}, {}, 0, kNone},
        {"temp raw INT32_MIN", {INT32_MIN}, {}, 0, kNone},
        {"fan raw 15001 is still past the fan bound", {}, {15001}, 0, kNone},
        {"fan raw -15000 is still the fan bound", {}, {-15000}, 0, -15000.0f},
    };
    for (const ReadingCase &c : cases) {
        monitor.Publish(c.temps, c.fans);
        EXPECT_EQ(FloatBits(fahrenheit->SourceData(c.index)), FloatBits(c.expected)) << c.what;
    }
}

TEST(NoMonitor, NothingToRead) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    Plugin plugin;
    ASSERT_TRUE(plugin.loaded());
    EXPECT_EQ(plugin.SourcesNum(), 0);
    EXPECT_EQ(FloatBits(plugin.SourceData(0)), NO_READING_BITS);
    EXPECT_FALSE(BlockNameOpens()) << "no monitor: the module holds nothing";
}

} // namespace
