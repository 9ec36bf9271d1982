// Source descriptors and the settings file, through copies of the built DLL
// with a settings file beside them, as a user installs the plug-in.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>

#include "support/desc_record.h"
#include "support/fake_monitor.h"
#include "support/plugin_copy.h"
#include "support/readings.h"

namespace {

struct DescCase {
    const char *what;
    uint32_t index;
    std::string name;
    std::string units;
    float scaleMax, scaleDivisions;
};

void ExpectDescriptor(const Plugin &plugin, const DescCase &c) {
    SCOPED_TRACE(c.what);
    Record r = Describe(plugin, c.index);
    EXPECT_EQ(r.result, int32_t(c.name.size()));
    EXPECT_EQ(r.name(), c.name);
    EXPECT_EQ(r.units(), c.units);
    EXPECT_EQ(r.desc()->scaleMax, c.scaleMax);
    EXPECT_EQ(r.desc()->scaleMin, 0.0f);
    EXPECT_EQ(r.desc()->scaleDivisions, c.scaleDivisions);
    EXPECT_TRUE(r.OnlyWrittenUpToTerminators()) << "bytes past a terminator were written";
}

class Descriptors : public ::testing::Test {
  protected:
    FakeMonitor monitor;
    void SetUp() override {
        ASSERT_TRUE(monitor.ok()) << "a block of that name was left behind";
    }
};

TEST_F(Descriptors, DefaultNamesWithoutASettingsFile) {
    PluginCopy copy("defaults");
    ASSERT_TRUE(copy.ok());
    auto plugin = copy.Load();
    ASSERT_TRUE(plugin->loaded());
    monitor.Publish({4550, 5200}, {900});
    const DescCase cases[] = {
        {"T=2 F=1: index 0", 0, "KD temperature 1", kCelsius, 150.0f, 6.0f},
        {"T=2 F=1: index 1", 1, "KD temperature 2", kCelsius, 150.0f, 6.0f},
        {"T=2 F=1: index 2 is the first fan", 2, "KD fan speed 1", "RPM", 7000.0f, 7.0f},
    };
    for (const DescCase &c : cases) {
        ExpectDescriptor(*plugin, c);
    }
    monitor.Publish({}, {900, 1000});
    ExpectDescriptor(*plugin, {"T=0 F=2: index 0", 0, "KD fan speed 1", "RPM", 7000.0f, 7.0f});
    ExpectDescriptor(*plugin, {"T=0 F=2: index 1", 1, "KD fan speed 2", "RPM", 7000.0f, 7.0f});
    monitor.Publish(std::vector<int32_t>(32, 0), std::vector<int32_t>(32, 0));
    ExpectDescriptor(*plugin, {"T=32: index 31", 31, "KD temperature 32", kCelsius, 150, 6});
    ExpectDescriptor(*plugin, {"F=32: index 63", 63, "KD fan speed 32", "RPM", 7000, 7});
}

TEST_F(Descriptors, NamesFromTheSettingsFile) {
    PluginCopy copy("names");
    ASSERT_TRUE(copy.ok());
    const std::string forty = "A forty character name for a sensor 1234";
    ASSERT_EQ(forty.size(), 40u);
    copy.WriteSettings(SettingsText({"Temperature1=CPU", "Temperature2=" + forty, "Fan1=Pump",
                                     "Fan2=", "Temperature4=Unused"}));
    auto plugin = copy.Load();
    monitor.Publish({1, 2, 3}, {4, 5});
    const DescCase cases[] = {
        {"user name", 0, "CPU", kCelsius, 150.0f, 6.0f},
        {"40 characters cut to 31", 1, forty.substr(0, 31), kCelsius, 150.0f, 6.0f},
        {"no key: default name", 2, "KD temperature 3", kCelsius, 150.0f, 6.0f},
        {"first fan reads Fan1 after 3 temperatures", 3, "Pump", "RPM", 7000.0f, 7.0f},
        {"empty name: 0, units and scales still written", 4, "", "RPM", 7000.0f, 7.0f},
    };
    for (const DescCase &c : cases) {
        ExpectDescriptor(*plugin, c);
    }
}

TEST_F(Descriptors, EditedNameShowsAtTheNextCallWithoutReload) {
    PluginCopy copy("edited");
    copy.WriteSettings(SettingsText({"Fan1=Rear"}));
    auto plugin = copy.Load();
    monitor.Publish({}, {900});
    EXPECT_EQ(Describe(*plugin, 0).name(), "Rear");
    copy.WriteSettings(SettingsText({"Fan1=Rear exhaust"}));
    EXPECT_EQ(Describe(*plugin, 0).name(), "Rear exhaust");
    copy.DeleteFile("KelvoDyn.ini");
    EXPECT_EQ(Describe(*plugin, 0).name(), "KD fan speed 1") << "file removed";
}

TEST_F(Descriptors, SampleSettingsFileAsShipped) {
    PluginCopy copy("sample");
    std::ifstream sample(BuildDir() + "\\examples\\KelvoDyn.ini", std::ios::binary);
    ASSERT_TRUE(sample.good()) << "examples/KelvoDyn.ini not found beside the tests";
    copy.WriteSettings(std::string(std::istreambuf_iterator<char>(sample), {}));
    auto plugin = copy.Load();
    monitor.Publish({4550, 5200, 3000}, {900, 1200});
    const DescCase cases[] = {
        {"sample Temperature1", 0, "CPU", kCelsius, 150.0f, 6.0f},
        {"sample Temperature2", 1, "GPU", kCelsius, 150.0f, 6.0f},
        {"sample has no Temperature3", 2, "KD temperature 3", kCelsius, 150.0f, 6.0f},
        {"sample Fan1", 3, "CPU fan", "RPM", 7000.0f, 7.0f},
        {"sample Fan2", 4, "Case fan", "RPM", 7000.0f, 7.0f},
    };
    for (const DescCase &c : cases) {
        ExpectDescriptor(*plugin, c);
    }
}

struct UntouchedCase {
    const char *what;
    std::function<void(FakeMonitor &)> act;
    uint32_t index;
};

TEST_F(Descriptors, NoAnswerLeavesTheRecordUntouched) {
    PluginCopy copy("untouched");
    copy.WriteSettings(SettingsText({"Temperature1=CPU", "Fan1=Pump"}));
    auto plugin = copy.Load();
    monitor.Publish({4550}, {900});
    const UntouchedCase cases[] = {
        {"index past the fans", [](FakeMonitor &) {}, 2},
        {"index 0xFFFFFFFF", [](FakeMonitor &) {}, 0xFFFFFFFFu},
        {"monitor not live", [](FakeMonitor &m) { m.SetLive(false); }, 0},
        {"monitor window gone", [](FakeMonitor &m) { m.DestroyWindowOnly(); }, 0},
    };
    for (const UntouchedCase &c : cases) {
        c.act(monitor);
        Record r = Describe(*plugin, c.index);
        EXPECT_EQ(r.result, 0) << c.what;
        EXPECT_TRUE(r.Untouched()) << c.what;
    }
}

TEST(DescriptorsNoMonitor, RecordUntouchedAndNullRecordSafe) {
    ASSERT_FALSE(BlockNameOpens());
    PluginCopy copy("nomonitor");
    auto plugin = copy.Load();
    Record r = Describe(*plugin, 0);
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.Untouched());
    FakeMonitor monitor;
    monitor.Publish({4550}, {900});
    EXPECT_EQ(plugin->SourceDesc(0, nullptr), 0) << "null record, live block";
    EXPECT_EQ(plugin->SourceDesc(1, nullptr), 0) << "null record, fan";
    EXPECT_EQ(Describe(*plugin, 0).result, 16) << "the module still works afterwards";
}

struct UnitCase {
    const char *what;
    const char *value; // nullptr: no UseFahrenheit line; "<no file>": no settings file
    bool fahrenheit;
};

// Every accepted word and some that are not, read at attach. True switches the
// temperature label and bound; fans and the scale numbers never change.
TEST_F(Descriptors, UseFahrenheitWords) {
    const UnitCase cases[] = {
        {"yes", "yes", true},
        {"YES", "YES", true},
        {"Yes", "Yes", true},
        {"1", "1", true},
        {"true", "true", true},
        {"TRUE", "TRUE", true},
        {"da (1251)", "\xE4\xE0", true},
        {"no", "no", false},
        {"No", "No", false},
        {"0", "0", false},
        {"false", "false", false},
        {"FALSE", "FALSE", false},
        {"net (1251)", "\xED\xE5\xF2", false},
        {"2", "2", false},
        {"on", "on", false},
        {"empty value", "", false},
        {"yes please", "yes please", false},
        {"missing key", nullptr, false},
        {"missing file", "<no file>", false},
    };
    monitor.Publish({57200, 30001}, {900});
    for (const UnitCase &c : cases) {
        SCOPED_TRACE(c.what);
        PluginCopy copy("units");
        if (c.value == nullptr) {
            copy.WriteSettings(SettingsText({"Temperature1=CPU"}));
        } else if (std::string(c.value) != "<no file>") {
            copy.WriteSettings(SettingsText({std::string("UseFahrenheit=") + c.value}));
        }
        auto plugin = copy.Load();
        ASSERT_TRUE(plugin->loaded());
        EXPECT_EQ(Describe(*plugin, 0).units(), c.fahrenheit ? kFahrenheit : kCelsius);
        EXPECT_EQ(Describe(*plugin, 0).desc()->scaleMax, 150.0f);
        EXPECT_EQ(Describe(*plugin, 2).units(), "RPM");
        float bound = plugin->SourceData(0), over = plugin->SourceData(1);
        EXPECT_EQ(FloatBits(bound), FloatBits(c.fahrenheit ? 572.0f : NO_READING)) << "raw 57200";
        EXPECT_EQ(FloatBits(over), FloatBits(c.fahrenheit ? ExactProduct(30001) : NO_READING))
            << "raw 30001";
    }
}

TEST_F(Descriptors, UseFahrenheitChangesOnlyAtTheNextLoad) {
    PluginCopy copy("reload");
    copy.WriteSettings(SettingsText({"UseFahrenheit=1"}));
    monitor.Publish({57200}, {});
    auto plugin = copy.Load();
    EXPECT_EQ(Describe(*plugin, 0).units(), kFahrenheit);
    copy.WriteSettings(SettingsText({"UseFahrenheit=0"}));
    EXPECT_EQ(Describe(*plugin, 0).units(), kFahrenheit) << "same load: unchanged";
    EXPECT_EQ(plugin->SourceData(0), 572.0f) << "same load: bound unchanged";
    plugin.reset();
    plugin = copy.Load();
    EXPECT_EQ(Describe(*plugin, 0).units(), kCelsius) << "after reload";
    EXPECT_EQ(FloatBits(plugin->SourceData(0)), NO_READING_BITS) << "after reload";
}

struct LocationCase {
    const char *what;
    const char *folder;
    const char *file;
    const char *settings;
};

// Where the module finds its settings file, named after whatever the copy is called.
TEST_F(Descriptors, SettingsFileBesideTheModule) {
    const LocationCase cases[] = {
        {"ordinary name", "plain", "KelvoDyn.dll", "KelvoDyn.ini"},
        {"no extension", "noext", "plug", "plug.ini"},
        {"dot only in the folder name", "folder.with.dots", "plug", "plug.ini"},
        {"dots in the file name", "dotted", "Kelvo.Dyn.dll", "Kelvo.Dyn.ini"},
    };
    monitor.Publish({4550}, {});
    for (const LocationCase &c : cases) {
        PluginCopy copy(c.folder, c.file);
        ASSERT_TRUE(copy.ok()) << c.what;
        copy.WriteFile(c.settings, SettingsText({std::string("Temperature1=") + c.what}));
        auto plugin = copy.Load();
        ASSERT_TRUE(plugin->loaded()) << c.what;
        EXPECT_EQ(Describe(*plugin, 0).name(), c.what);
    }
}

// A module path too long for the settings path buffer: defaults apply.
TEST_F(Descriptors, ModulePathTooLongForTheSettingsPath) {
    monitor.Publish({4550}, {900});
    LongPathCopy copy(320);
    ASSERT_TRUE(copy.ok());
    Plugin plugin(copy.path());
    ASSERT_TRUE(plugin.loaded());
    ExpectDescriptor(plugin, {"long path, temperature", 0, "KD temperature 1", kCelsius, 150, 6});
    ExpectDescriptor(plugin, {"long path, fan", 1, "KD fan speed 1", "RPM", 7000, 7});
}

} // namespace
