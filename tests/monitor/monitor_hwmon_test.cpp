// kdmonitor --hwmon as a user runs it, on sensor trees the test builds like
// the kernel's (hwmonK links, device links, labels, broken inputs), read
// through Z:; what kdhost.exe then shows, and the settings file it writes.
#include <gtest/gtest.h>

#include <iterator>
#include <regex>

#include "exit_codes.h"
#include "support/fake_monitor.h"
#include "support/file_text.h"
#include "support/host_output.h"
#include "support/plugin_copy.h"
#include "support/processes.h"
#include "sensor_tree.h"

namespace {

std::string Quoted(const std::string &path) {
    return "\"" + path + "\"";
}

bool HasValue(const std::string &json, int index, const std::string &value) {
    return JsonLineOf(json, index).find("\"value\": " + value + ",") != std::string::npos;
}

std::string HostJson(const std::string &arguments = "") {
    std::string json;
    RunTool("kdhost.exe", "--json " + arguments, &json);
    return json;
}

TEST(HwmonMonitor, PublishesTheSensorsAndReadsThemAgainEveryInterval) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    SensorTree tree("kd-hwmon-small");
    ASSERT_TRUE(tree.ok());
    const std::string device = tree.AddDevice("hwmon0", "platform/it87.2624", "it8686");
    tree.Write(device + "/temp1_input", "45500\n");
    tree.Write(device + "/fan1_input", "1200\n");
    ASSERT_TRUE(tree.MakeLinks());
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(
        StartMonitor(("--hwmon " + Quoted(tree.hwmon()) + " --interval 100").c_str(), monitor));

    std::string json = HostJson();
    EXPECT_NE(json.find("\"count\": 2,"), std::string::npos) << json;
    EXPECT_TRUE(HasValue(json, 0, "45.5") && HasValue(json, 1, "1200")) << json;
    const struct {
        const char *what;
        const char *temp; // nullptr: the file is removed
        const char *fan;
        const char *tempValue, *fanValue;
    } steps[] = {
        {"text that is no number", "46250\n", "n/a\n", "46.25", "null"},
        {"a file that is gone", nullptr, "0\n", "null", "0"},
        {"readable again", "-2010\n", "1300\n", "-2.01", "1300"},
    };
    for (const auto &step : steps) {
        if (step.temp == nullptr) {
            tree.Remove(device + "/temp1_input");
        } else {
            tree.Write(device + "/temp1_input", step.temp);
        }
        tree.Write(device + "/fan1_input", step.fan);
        EXPECT_TRUE(WaitUntil(
            [&] {
                json = HostJson();
                return HasValue(json, 0, step.tempValue) && HasValue(json, 1, step.fanValue);
            },
            15000))
            << step.what << ":\n"
            << json;
    }
}

// Two devices of one name told apart by their device paths, hwmonK numbers
// against the published order, labels on some channels, a negative, a
// non-numeric and an unreadable input, and 40 temperatures for 32 slots.
void BuildBigTree(SensorTree &tree) {
    const std::string gpuA = tree.AddDevice("hwmon4", "pci0000/gpu03", "amdgpu");
    const std::string gpuB = tree.AddDevice("hwmon1", "pci0000/gpu0a", "amdgpu");
    const std::string core = tree.AddDevice("hwmon3", "platform/coretemp.0", "coretemp");
    const std::string nct = tree.AddDevice("hwmon0", "platform/nct6775.2592", "nct6798");
    for (const auto &gpu : {std::make_pair(gpuA, "48000\n"), std::make_pair(gpuB, "51000\n")}) {
        tree.Write(gpu.first + "/temp1_input", gpu.second);
        tree.Write(gpu.first + "/temp1_label", "edge\n");
    }
    tree.Write(gpuA + "/fan1_input", "1500\n");
    tree.Write(gpuB + "/fan1_input", "800\n");
    tree.Write(core + "/temp1_input", "45500\n");
    tree.Write(core + "/temp1_label", "Package id 0\n");
    for (int channel = 2; channel <= 11; ++channel) {
        std::string temp = core + "/temp" + std::to_string(channel);
        tree.Write(temp + "_input", std::to_string(40000 + channel * 100) + "\n");
        tree.Write(temp + "_label", "Core " + std::to_string(channel - 2) + "\n");
    }
    tree.Write(nct + "/temp1_input", "-5250\n");
    tree.Write(nct + "/temp2_input", "n/a\n");
    // A folder where an input should be: CreateFile fails on it under Wine,
    // as it does on a sysfs input whose read fails with EIO.
    CreateDirectoryA((tree.root() + "\\" + nct + "\\temp3_input").c_str(), nullptr);
    for (int channel = 4; channel <= 27; ++channel) {
        std::string temp = nct + "/temp" + std::to_string(channel);
        tree.Write(temp + "_input", std::to_string(30000 + channel * 10) + "\n");
    }
    tree.Write(nct + "/temp5_label", "AUXTIN0 a very long sensor label\n");
    tree.Write(nct + "/fan1_input", "1200\n");
    tree.Write(nct + "/fan2_input", "0\n");
    tree.Write(nct + "/fan2_label", "L\xC3\xBC"
                                    "fter\n");
    tree.Write(nct + "/fan3_input", "4000\n");
    tree.Write(nct + "/fan3_label", "\xD0\x92\xD0\xB5\xD0\xBD\xD1\x82\n"); // Cyrillic
    tree.Write(nct + "/in0_input", "1100\n");
}

const struct {
    int index;
    const char *name;  // as kdhost shows it from the written settings file
    const char *value; // in kdhost --json
} kBigTree[] = {
    {0, "amdgpu#1 edge", "48"}, // hwmon4, but the first device path
    {1, "amdgpu#2 edge", "51"},
    {2, "coretemp Package id 0", "45.5"},
    {3, "coretemp Core 0", "40.2"},
    {12, "coretemp Core 9", "41.1"}, // temp11 after temp10, not after temp1
    {13, "nct6798 temp1", "-5.25"},
    {14, "nct6798 temp2", "null"},
    {15, "nct6798 temp3", "null"},
    {17, "nct6798 AUXTIN0 a very long sen", "30.05"},
    {31, "nct6798 temp19", "30.19"}, // the 32nd; temp20 to temp27 are left out
    {32, "amdgpu#1 fan1", "1500"},
    {33, "amdgpu#2 fan1", "800"},
    {35,
     "nct6798 L\xC3\xBC"
     "fter",
     "0"},
    {36, "nct6798 ????", "4000"}, // Windows-1252 has no Cyrillic
};

TEST(HwmonMonitor, ListsOrdersAndNamesTheSensorsOfABigTree) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    SensorTree tree("kd-hwmon-big");
    ASSERT_TRUE(tree.ok());
    BuildBigTree(tree);
    ASSERT_TRUE(tree.MakeLinks());
    const std::string hwmon = "--hwmon " + Quoted(tree.hwmon());

    std::string list, warnings;
    ASSERT_EQ(RunTool("kdmonitor.exe", hwmon + " --list", &list, &warnings), 0) << warnings;
    std::vector<std::string> lines = Lines(list);
    ASSERT_EQ(lines.size(), 38u) << list;
    const std::string c = kDegreesUtf8 + "C +";
    const struct {
        size_t line;
        std::string row; // a pattern: columns at least two spaces apart
    } rows[] = {
        {0, " # +group +device +label +value +unit +file"},
        {1, " 0 +temperature +amdgpu +edge +48\\.00 +" + c + "hwmon4\\\\temp1_input"},
        {14, "13 +temperature +nct6798 +temp1 +-5\\.25 +" + c + "hwmon0\\\\temp1_input"},
        {16, "15 +temperature +nct6798 +temp3 +no reading +hwmon0\\\\temp3_input"},
        {37, "36 +fan +nct6798 +\xD0\x92\xD0\xB5\xD0\xBD\xD1\x82 +4000 +RPM +hwmon0\\\\fan3_input"},
    };
    for (const auto &r : rows) {
        EXPECT_TRUE(std::regex_match(lines[r.line], std::regex(r.row))) << lines[r.line];
    }
    EXPECT_NE(warnings.find("40 temperatures found, the block holds 32: the last 8 are left out"),
              std::string::npos)
        << warnings;
    EXPECT_FALSE(BlockNameOpens()) << "--list publishes nothing";

    PluginCopy copy("hwmon names");
    ASSERT_TRUE(copy.ok());
    std::string wrote;
    ASSERT_EQ(RunTool("kdmonitor.exe",
                      hwmon + " --write-settings " + Quoted(copy.folder() + "\\KelvoDyn.ini"),
                      &wrote),
              0);
    EXPECT_NE(wrote.find("names for 32 temperatures and 5 fans"), std::string::npos) << wrote;
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor(hwmon.c_str(), monitor));
    std::string json = HostJson("--plugin " + Quoted(copy.folder() + "\\KelvoDyn.dll"));
    EXPECT_NE(json.find("\"count\": 37,"), std::string::npos) << json;
    for (const auto &s : kBigTree) {
        std::string line = JsonLineOf(json, s.index);
        EXPECT_NE(line.find("\"name\": \"" + std::string(s.name) + "\""), std::string::npos)
            << line;
        EXPECT_TRUE(HasValue(json, s.index, s.value)) << line;
    }
}

TEST(HwmonSettingsFile, NeverReplacedUnaskedNorLeftHalfWritten) {
    SensorTree tree("kd-hwmon-settings");
    ASSERT_TRUE(tree.ok());
    // Kernels before 3.x: the name and the inputs in the device's own folder.
    const std::string old = tree.AddDevice("hwmon0", "platform/w83627hf.656", "");
    tree.Remove(old + "/name");
    tree.Write("devices/platform/w83627hf.656/name", "w83627hf\n");
    tree.Write("devices/platform/w83627hf.656/fan1_input", "2100\n");
    ASSERT_TRUE(tree.MakeLinks());
    PluginCopy copy("hwmon settings");
    ASSERT_TRUE(copy.ok());
    const std::string path = copy.folder() + "\\KelvoDyn.ini";
    const std::string write =
        "--hwmon " + Quoted(tree.hwmon()) + " --write-settings " + Quoted(path);
    const std::string mine = "[kelvodyn]\r\nFan1=my own name\r\n";
    copy.WriteSettings(mine);

    std::string errors;
    EXPECT_EQ(RunTool("kdmonitor.exe", write, nullptr, &errors), kExitFileKept);
    EXPECT_NE(errors.find("exists already; --force replaces it"), std::string::npos) << errors;
    EXPECT_EQ(FileText(path), mine);
    // Held open by a program that does not share deletion: the rename fails.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(RunTool("kdmonitor.exe", write + " --force", nullptr, &errors), kExitFileFailed);
    CloseHandle(held);
    EXPECT_NE(errors.find("the old file stays as it was"), std::string::npos) << errors;
    EXPECT_EQ(FileText(path), mine);
    WIN32_FIND_DATAA entry;
    EXPECT_EQ(FindFirstFileA((copy.folder() + "\\*.tmp").c_str(), &entry), INVALID_HANDLE_VALUE)
        << "left behind: " << entry.cFileName;

    EXPECT_EQ(RunTool("kdmonitor.exe", write + " --force", nullptr, &errors), kExitOk) << errors;
    EXPECT_NE(FileText(path).find("\r\nFan1=w83627hf fan1\r\n"), std::string::npos)
        << FileText(path);
}

// Labels and device names are whatever a driver (or anyone who can mount a
// tree) wrote: --list shows them as text, never as terminal commands.
TEST(HwmonMonitor, ListsHostileLabelsAsText) {
    SensorTree tree("kd-hwmon-hostile");
    ASSERT_TRUE(tree.ok());
    const std::string device = tree.AddDevice("hwmon0", "platform/evil", "ev\x1B]0;t\x07il");
    tree.Write(device + "/temp1_input", "40000\n");
    tree.Write(device + "/temp1_label", "\x1B[2Jred\rline\x7F\n");
    tree.Write(device + "/temp2_input", "41000\n");
    tree.Write(device + "/temp2_label", std::string(5000, 'L') + "\n");
    ASSERT_TRUE(tree.MakeLinks());
    std::string list, errors;
    ASSERT_EQ(
        RunTool("kdmonitor.exe", "--hwmon " + Quoted(tree.hwmon()) + " --list", &list, &errors),
        kExitOk)
        << errors;
    const std::vector<std::string> lines = Lines(list);
    ASSERT_EQ(lines.size(), 3u) << list;
    EXPECT_NE(lines[1].find("ev\\e]0;t\\ail"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("\\e[2Jred\\rline\\x7f"), std::string::npos) << lines[1];
    EXPECT_EQ(list.find_first_of("\x1B\x07\x7F"), std::string::npos) << "nothing raw";
    EXPECT_LT(lines[2].size(), 300u) << "a long label is cut";
    // A settings file that cannot be written: the file asked for and the
    // reason in words, no temporary name, no bare error number.
    const std::string nowhere = tree.root() + "\\nowhere\\KelvoDyn.ini";
    EXPECT_EQ(RunTool("kdmonitor.exe",
                      "--hwmon " + Quoted(tree.hwmon()) + " --write-settings " + Quoted(nowhere),
                      nullptr, &errors),
              kExitFileFailed);
    EXPECT_NE(errors.find("cannot write " + nowhere + ": there is no such folder"),
              std::string::npos)
        << errors;
    EXPECT_EQ(errors.find(".tmp"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("(error"), std::string::npos) << errors;
}

TEST(HwmonMonitor, SaysWhichFolderHeldNoSensors) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    SensorTree tree("kd-hwmon-empty");
    ASSERT_TRUE(tree.ok());
    const std::string device = tree.AddDevice("hwmon0", "platform/acpitz", "acpitz");
    tree.Write(device + "/temp1_label", "zone\n");
    ASSERT_TRUE(tree.MakeLinks());
    const bool noSysfs = GetFileAttributesA("Z:\\sys\\class\\hwmon") == INVALID_FILE_ATTRIBUTES;
    // KD_ASSUME_WINDOWS=1 makes the missing tree's words Windows ones.
    const struct {
        const char *assumeWindows;
        std::string arguments;
        int code;
        std::string errors;
    } cases[] = {
        {nullptr, "--hwmon " + Quoted(tree.hwmon()), kExitNo,
         "no hardware sensors found in " + tree.hwmon() +
             ": no device there has a temperature or fan input"},
        {nullptr, "--hwmon /nowhere/hwmon --list", kExitNo,
         "no hardware sensors found in Z:\\nowhere\\hwmon: there is no such folder"},
        {nullptr, noSysfs ? "--hwmon" : "--hwmon --list", noSysfs ? kExitNo : kExitOk,
         noSysfs ? "no hardware sensors found in Z:\\sys\\class\\hwmon: there is no such "
                   "folder (under Wine it is Linux's /sys/class/hwmon"
                 : ""},
        {"1", noSysfs ? "--hwmon" : "--hwmon --list", noSysfs ? kExitNo : kExitOk,
         noSysfs ? "there is no such folder (the Linux kernel's sensors, which Windows does not "
                   "have: publish simulated values"
                 : ""},
        {nullptr, "--hwmon --replay x.csv", kExitUsage, "--replay publishes a recording"},
    };
    for (const auto &c : cases) {
        SetEnvironmentVariableA("KD_ASSUME_WINDOWS", c.assumeWindows);
        std::string output, errors;
        EXPECT_EQ(RunTool("kdmonitor.exe", c.arguments, &output, &errors), c.code) << c.arguments;
        EXPECT_NE(errors.find(c.errors), std::string::npos) << c.arguments << ": " << errors;
        EXPECT_EQ(output.find("publishing"), std::string::npos) << c.arguments << ": " << output;
    }
    SetEnvironmentVariableA("KD_ASSUME_WINDOWS", nullptr);
    EXPECT_FALSE(BlockNameOpens());
}

// A sensor file that is a device or a pipe is read by nothing: a read from a
// pipe no one writes waits for ever, one from a device may. It costs that
// sensor its reading, never the list or the publish loop.
TEST(HwmonMonitor, ASensorFileThatIsNoFileCostsThatSensorOnly) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    SensorTree tree("kd-hwmon-devices");
    ASSERT_TRUE(tree.ok());
    const std::string device = tree.AddDevice("hwmon0", "platform/it87.2624", "it8686");
    tree.Write(device + "/temp1_input", "40000\n");
    tree.AddFifo(device + "/temp2_input");
    tree.AddLink("/dev/zero", device + "/temp3_input");
    tree.AddFifo(device + "/temp3_label");
    tree.Write(device + "/fan1_input", "1200\n");
    // A device whose name file is a pipe goes by its folder's name.
    const std::string stuck = tree.AddDevice("hwmon1", "platform/stuck", "");
    tree.Remove(stuck + "/name");
    tree.AddFifo(stuck + "/name");
    tree.Write(stuck + "/temp1_input", "30000\n");
    ASSERT_TRUE(tree.MakeLinks());
    const std::string hwmon = "--hwmon " + Quoted(tree.hwmon());

    std::string list, errors;
    ASSERT_EQ(RunTool("kdmonitor.exe", hwmon + " --list", &list, &errors, 20000), kExitOk)
        << errors;
    const struct {
        const char *what;
        const char *row; // a pattern: columns at least two spaces apart
    } rows[] = {
        {"a file", "temperature +it8686 +temp1 +40\\.00 .*temp1_input"},
        {"a pipe", "temperature +it8686 +temp2 +no reading +.*temp2_input"},
        {"a device, its label a pipe", "temperature +it8686 +temp3 +no reading +.*temp3_input"},
        {"a device named by a pipe", "temperature +hwmon1 +temp1 +30\\.00 .*temp1_input"},
        {"a fan", "fan +it8686 +fan1 +1200 +RPM"},
    };
    for (const auto &r : rows) {
        EXPECT_TRUE(std::regex_search(list, std::regex(r.row))) << r.what << "\n" << list;
    }

    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor((hwmon + " --interval 100").c_str(), monitor));
    tree.Write(device + "/temp1_input", "41000\n");
    std::string json;
    EXPECT_TRUE(WaitUntil(
        [&] {
            json = HostJson();
            return json.find("\"value\": 41,") != std::string::npos;
        },
        15000))
        << "the publish loop stopped at a stuck sensor:\n"
        << json;
    monitor->Kill();

    const std::string notFile = "it is a device (such as NUL, COM1 or a console), not a file";
    EXPECT_EQ(RunTool("kdmonitor.exe", hwmon + " --write-settings NUL", nullptr, &errors, 20000),
              kExitFileFailed);
    EXPECT_NE(errors.find(notFile), std::string::npos) << errors;
}

} // namespace
