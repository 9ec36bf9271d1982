// Hostile settings files: binary garbage, very long lines, no section, repeated
// keys, high-bit bytes. Whatever the file holds, every name stays within 31
// characters and its record, and a boolean that is no yes/no word keeps its default.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

extern "C" {
#include "module/settings_file.h"
}

#include "support/desc_record.h"
#include "support/fake_monitor.h"
#include "support/plugin_copy.h"
#include "support/readings.h"

namespace {

std::string Garbage(size_t bytes, uint32_t seed) {
    std::string text;
    for (uint32_t state = seed; text.size() < bytes;) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        text += char(state >> 24);
        if (state % 7 == 0) {
            text += "\r\n="[state % 3]; // lines, and keys with values, here and there
        }
    }
    return text;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string DefaultName(uint32_t index) {
    return index < SENSOR_SLOTS ? "KD temperature " + std::to_string(index + 1)
                                : "KD fan speed " + std::to_string(index - SENSOR_SLOTS + 1);
}

const std::string kAnyName = "<any>";

struct SettingsCase {
    const char *what;
    std::string bytes;
    std::map<uint32_t, std::string> names; // by index; the rest as in othersName
    std::string othersName;                // "" for the default names, or kAnyName
};

const std::string kHighBytes = "\xB0\xFF\x80\x81\x9F\xA0\xC0\xE9\xFE\x7F\x01\x1B"
                               "\xB0\xFF\x80\x81\x9F\xA0\xC0\xE9\xFE\x7F\x01\x1B"
                               "\xB0\xFF\x80\x81\x9F\xA0\xC0\xE9\xFE\x7F\x01\x1B";

std::vector<SettingsCase> Cases() {
    const std::string longName(100000, 'A');
    return {
        {"binary garbage, no section", Garbage(64 * 1024, 1), {}, ""},
        {"binary garbage inside the section",
         SettingsText({"UseFahrenheit=maybe"}) + Garbage(64 * 1024, 2),
         {},
         kAnyName},
        {"very long lines",
         SettingsText({"Temperature1=" + longName, "UseFahrenheit=" + std::string(6000, 'y'),
                       std::string(70000, 'k'), "Fan1=" + std::string(5000, '\xE9'),
                       "Temperature2=Second"}),
         {{0, longName.substr(0, 31)}, {1, "Second"}, {32, std::string(31, '\xE9')}},
         ""},
        {"a 9-character cut turns yes into no word",
         SettingsText({"UseFahrenheit=yesyesyesyes", "Fan2=" + std::string(32, 'f')}),
         {{33, std::string(31, 'f')}},
         ""},
        {"no section at all", "Temperature1=CPU\r\nUseFahrenheit=yes\r\nFan1=Pump\r\n", {}, ""},
        {"keys before the section",
         "UseFahrenheit=1\r\nTemperature1=CPU\r\n" + SettingsText({"Fan1=Pump"}),
         {{32, "Pump"}},
         ""},
        {"another section only", "[other]\r\nTemperature1=CPU\r\nUseFahrenheit=true\r\n", {}, ""},
        {"repeated keys",
         SettingsText({"Temperature1=First", "Temperature1=Second", "UseFahrenheit=maybe",
                       "UseFahrenheit=oui"}),
         {{0, "First"}},
         ""},
        {"repeated section",
         SettingsText({"Fan1=Front"}) + SettingsText({"Fan1=Rear", "Fan2=Top"}),
         {{32, "Front"}, {33, kAnyName}}, // platforms differ on a second section
         ""},
        {"high-bit bytes",
         SettingsText({"Temperature1=" + kHighBytes, "UseFahrenheit=\xFF\xFE\xFD"}),
         {{0, kHighBytes.substr(0, 31)}},
         ""},
        {"NUL bytes in a line",
         SettingsText({std::string("Temperature1=CPU\0hidden", 23), "UseFahrenheit=\0yes"}),
         {},
         kAnyName},
        {"line ends of every kind", "[kelvodyn]\rTemperature1=CR\nFan1=LF\r\n\n\r", {}, kAnyName},
        {"empty file", "", {}, ""},
    };
}

void ExpectSaneDescriptors(const Plugin &plugin, const SettingsCase &c) {
    for (uint32_t index = 0; index < 2 * SENSOR_SLOTS; ++index) {
        SCOPED_TRACE("index " + std::to_string(index));
        Record r = Describe(plugin, index);
        const bool fan = index >= SENSOR_SLOTS;
        EXPECT_LE(r.result, 31);
        EXPECT_EQ(r.result, int32_t(r.name().size())) << "result is the name's length";
        EXPECT_TRUE(r.OnlyWrittenUpToTerminators()) << "bytes past a terminator were written";
        EXPECT_EQ(r.units(), fan ? "RPM" : kCelsius) << "a boolean that is no word keeps 'no'";
        EXPECT_EQ(r.desc()->scaleMax, fan ? 7000.0f : 150.0f);
        EXPECT_EQ(r.desc()->scaleDivisions, fan ? 7.0f : 6.0f);
        auto named = c.names.find(index);
        std::string expected = named != c.names.end() ? named->second
                               : c.othersName.empty() ? DefaultName(index)
                                                      : c.othersName;
        if (expected != kAnyName) {
            EXPECT_EQ(r.name(), expected);
        }
    }
}

TEST(HostileSettings, EveryNameFitsAndBooleansKeepTheirDefault) {
    FakeMonitor monitor;
    ASSERT_TRUE(monitor.ok());
    std::vector<int32_t> temps(SENSOR_SLOTS, 2500);
    temps[0] = 30001; // past the Celsius bound, inside the Fahrenheit one
    monitor.Publish(temps, std::vector<int32_t>(SENSOR_SLOTS, 900));
    for (const SettingsCase &c : Cases()) {
        SCOPED_TRACE(c.what);
        PluginCopy copy("hostile-settings");
        ASSERT_TRUE(copy.ok());
        copy.WriteSettings(c.bytes);
        if (c.othersName.empty() && c.names.empty()) {
            ASSERT_EQ(Lower(c.bytes).find("[" SETTINGS_SECTION "]"), std::string::npos)
                << "case is wrong";
        }
        auto plugin = copy.Load();
        ASSERT_TRUE(plugin->loaded());
        ExpectSaneDescriptors(*plugin, c);
        EXPECT_EQ(FloatBits(plugin->SourceData(0)), NO_READING_BITS) << "Celsius bound";
        EXPECT_EQ(FloatBits(plugin->SourceData(1)), FloatBits(ExactProduct(2500)));
    }
}

// A folder where the settings file should be: nothing to read, defaults apply.
TEST(HostileSettings, FolderInPlaceOfTheFile) {
    FakeMonitor monitor;
    ASSERT_TRUE(monitor.ok());
    monitor.Publish({30001}, {900});
    PluginCopy copy("settings-folder");
    ASSERT_TRUE(copy.ok());
    ASSERT_TRUE(CreateDirectoryA((copy.folder() + "\\KelvoDyn.ini").c_str(), nullptr));
    auto plugin = copy.Load();
    ASSERT_TRUE(plugin->loaded());
    Record r = Describe(*plugin, 0);
    EXPECT_EQ(r.name(), "KD temperature 1");
    EXPECT_EQ(r.units(), kCelsius);
    EXPECT_EQ(FloatBits(plugin->SourceData(0)), NO_READING_BITS);
    plugin.reset();
    RemoveDirectoryA((copy.folder() + "\\KelvoDyn.ini").c_str());
}

} // namespace
