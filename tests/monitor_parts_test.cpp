// kdmonitor's plain functions on their own: which sysfs files are inputs and
// what they read as, the order and names of sensors, names as the settings
// file holds them, and the rows of a recording. Run under Windows-1252.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "csv_text.h"
#include "hwmon_sensors.h"
#include "monitor_options.h"
#include "readings.h"
#include "replay_reader.h"
#include "sensor_list.h"
#include "sensor_rules.h"
#include "settings_writer.h"
#include "source_options.h"
#include "timestamp_text.h"

namespace {

TEST(SensorRules, InputFilesAndTheirChannels) {
    const struct {
        const char *file;
        bool input;
        SourceGroup group;
        unsigned channel;
    } cases[] = {
        {"temp1_input", true, SourceGroup::Temperature, 1},
        {"temp12_input", true, SourceGroup::Temperature, 12},
        {"fan2_input", true, SourceGroup::Fan, 2},
        {"temp1_label", false, {}, 0},
        {"temp1_crit", false, {}, 0},
        {"fan1_min", false, {}, 0},
        {"in0_input", false, {}, 0},
        {"pwm1", false, {}, 0},
        {"temp_input", false, {}, 0},
        {"tempX_input", false, {}, 0},
        {"temp1_input.bak", false, {}, 0},
        {"temp12345_input", false, {}, 0},
        {"Temp1_input", false, {}, 0},
    };
    for (const auto &c : cases) {
        SourceGroup group{};
        unsigned channel = 0;
        ASSERT_EQ(ParseInputName(c.file, group, channel), c.input) << c.file;
        if (c.input) {
            EXPECT_EQ(group, c.group) << c.file;
            EXPECT_EQ(channel, c.channel) << c.file;
        }
    }
}

TEST(SensorRules, ValuesAsTheKernelWritesThem) {
    const struct {
        const char *text;
        bool number;
        int64_t value;
    } cases[] = {
        {"45500\n", true, 45500}, {"-5250\n", true, -5250},
        {" 12 \n", true, 12},     {"+7", true, 7},
        {"0", true, 0},           {"", false, 0},
        {"\n", false, 0},         {"n/a\n", false, 0},
        {"45.5", false, 0},       {"1e3", false, 0},
        {"0x10", false, 0},       {"-", false, 0},
        {"12 34", false, 0},      {"9999999999999999999", false, 0},
    };
    for (const auto &c : cases) {
        int64_t value = -1;
        ASSERT_EQ(ParseSysfsInteger(c.text, value), c.number) << "'" << c.text << "'";
        if (c.number) {
            EXPECT_EQ(value, c.value) << "'" << c.text << "'";
        }
    }
}

TEST(SensorRules, MillidegreesBecomeRoundedHundredths) {
    const struct {
        const char *what;
        int64_t millidegrees;
        bool fahrenheit;
        int32_t slot;
    } cases[] = {
        {"exact", 45500, false, 4550},
        {"a half rounds up", 45505, false, 4551},
        {"just below a half", 45504, false, 4550},
        {"negative", -5250, false, -525},
        {"a negative half rounds away from zero", -5255, false, -526},
        {"just above a negative half", -5254, false, -525},
        {"zero", 0, false, 0},
        {"past the bound stays past it", 400000, false, 40000},
        {"too large for a slot", 30000000000000, false, kNoReadingSlot},
        {"Fahrenheit", 45500, true, 11390},
        {"Fahrenheit at -40", -40000, true, -4000},
        {"Fahrenheit at 0 degrees C", 0, true, 3200},
        {"Fahrenheit at 300 degrees C is its bound", 300000, true, 57200},
        {"Fahrenheit rounds the whole", 1, true, 3200},
        {"Fahrenheit half", 25, true, 3205},            // 3204.5
        {"Fahrenheit negative half", -17825, true, -9}, // -8.5
    };
    for (const auto &c : cases) {
        EXPECT_EQ(TemperatureSlot(c.millidegrees, c.fahrenheit), c.slot) << c.what;
    }
    EXPECT_EQ(FanSlot(1200), 1200);
    EXPECT_EQ(FanSlot(int64_t(1) << 40), kNoReadingSlot);
}

TEST(SensorRules, TheMarkerIsPastEveryBoundOfThePlugin) {
    for (int32_t bound : {30000, 57200, 15000}) {
        EXPECT_LT(kNoReadingSlot, -bound);
    }
}

Sensor Make(SourceGroup group, const char *device, const char *path, unsigned channel,
            const char *label = "") {
    Sensor sensor;
    sensor.group = group;
    sensor.device = device;
    sensor.devicePath = path;
    sensor.channel = channel;
    sensor.label = label;
    sensor.inputPath = std::string(path) + "\\input" + std::to_string(channel);
    return sensor;
}

std::vector<std::string> Names(const std::vector<Sensor> &sensors) {
    std::vector<std::string> names;
    for (const Sensor &sensor : sensors) {
        names.push_back(SensorName(sensor) + "@" + sensor.devicePath);
    }
    return names;
}

TEST(SensorRules, OrderByNameThenDevicePathThenChannel) {
    const auto T = SourceGroup::Temperature, F = SourceGroup::Fan;
    std::vector<Sensor> sensors = {Make(F, "nct6798", "p\\nct", 2),
                                   Make(T, "nct6798", "p\\nct", 10),
                                   Make(T, "coretemp", "p\\core", 1, "Package id 0"),
                                   Make(T, "nct6798", "p\\nct", 9),
                                   Make(T, "amdgpu", "pci\\0a", 1, "edge"),
                                   Make(F, "amdgpu", "pci\\03", 1),
                                   Make(T, "amdgpu", "pci\\03", 2, "junction"),
                                   Make(T, "nct6798", "p\\nct", 1)};
    SensorSelection selection = SelectForBlock(sensors);
    const std::vector<std::string> expected = {
        "amdgpu junction@pci\\03", "amdgpu edge@pci\\0a",  "coretemp Package id 0@p\\core",
        "nct6798 temp1@p\\nct",    "nct6798 temp9@p\\nct", "nct6798 temp10@p\\nct",
        "amdgpu fan1@pci\\03",     "nct6798 fan2@p\\nct"};
    EXPECT_EQ(Names(selection.published), expected);
    EXPECT_EQ(selection.temps, 6u);
    EXPECT_EQ(selection.fans, 2u);
    std::reverse(sensors.begin(), sensors.end());
    EXPECT_EQ(Names(SelectForBlock(sensors).published), expected) << "whatever the scan's order";
}

TEST(SensorRules, TheFirst32OfEachGroupArePublished) {
    std::vector<Sensor> sensors;
    for (unsigned channel = 40; channel >= 1; --channel) {
        sensors.push_back(Make(SourceGroup::Temperature, "nct6798", "p", channel));
    }
    sensors.push_back(Make(SourceGroup::Fan, "nct6798", "p", 1));
    SensorSelection selection = SelectForBlock(sensors);
    EXPECT_EQ(selection.temps, 32u);
    EXPECT_EQ(selection.tempsLeftOut, 8u);
    EXPECT_EQ(selection.fansLeftOut, 0u);
    ASSERT_EQ(selection.published.size(), 33u);
    EXPECT_EQ(selection.published[31].channel, 32u);
    EXPECT_EQ(selection.published[32].group, SourceGroup::Fan);
}

TEST(SettingsWriter, NamesTheProfileReaderGivesBackAsWritten) {
    const struct {
        const char *what;
        std::string utf8;
        std::string ansi;
    } cases[] = {
        {"plain", "coretemp Package id 0", "coretemp Package id 0"},
        {"31 characters stay", std::string(31, 'a'), std::string(31, 'a')},
        {"cut to 31", "nct6798 AUXTIN0 a very long sensor label",
         "nct6798 AUXTIN0 a very long sen"},
        {"no trailing space after the cut", "nct6798 AUXTIN0 a very long se x",
         "nct6798 AUXTIN0 a very long se"},
        {"in Windows-1252",
         "nct6798 L\xC3\xBC"
         "fter",
         "nct6798 L\xFC"
         "fter"},
        {"what 1252 lacks", "nct6798 \xD0\xAF\xD0\xB4\xD1\x80\xD0\xBE", "nct6798 ????"},
        {"no best fit", "nct6798 \xC5\x81\xC3\xB3\xC5\xBA", "nct6798 ?\xF3?"},
        {"bytes that are no UTF-8", "nct6798 \xFF\xFE", "nct6798 ??"},
        {"a line end would start another key", "a\r\nFan1=b", "a  Fan1=b"},
        {"tabs and controls",
         "a\tb\x01"
         "c",
         "a b c"},
        {"spaces the reader drops", "  edge  ", "edge"},
        {"quotes the reader strips", "\"quoted\"", "\"\"quoted\"\""},
        {"a quote inside stays", "a \"b\" c", "a \"b\" c"},
        {"nothing left", " \r\n", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SettingsName(c.utf8), c.ansi) << c.what;
    }
}

TEST(SettingsWriter, OneKeyPerSensorNumberedInItsGroup) {
    const auto T = SourceGroup::Temperature, F = SourceGroup::Fan;
    SensorSelection selection =
        SelectForBlock({Make(F, "nct6798", "p", 2), Make(T, "coretemp", "c", 1, "Package id 0"),
                        Make(F, "nct6798", "p", 1, "CPU fan"), Make(T, "nct6798", "p", 3)});
    std::string text = SettingsText(selection, true, "Z:\\sys\\class\\hwmon\r\n");
    const char *lines[] = {"\r\n[kelvodyn]\r\nUseFahrenheit=yes\r\n",
                           "\r\nTemperature1=coretemp Package id 0\r\n",
                           "\r\nTemperature2=nct6798 temp3\r\n",
                           "\r\nFan1=nct6798 CPU fan\r\n",
                           "\r\nFan2=nct6798 fan2\r\n",
                           "in Z:\\sys\\class\\hwmon  .\r\n"};
    for (const char *line : lines) {
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    }
    EXPECT_EQ(text.find("Temperature3"), std::string::npos) << text;
    EXPECT_NE(SettingsText(selection, false, "x").find("UseFahrenheit=no\r\n"), std::string::npos);
}

TEST(SensorList, ValuesAsPeopleReadThem) {
    EXPECT_EQ(SlotText(4550, SourceGroup::Temperature), "45.50");
    EXPECT_EQ(SlotText(-525, SourceGroup::Temperature), "-5.25");
    EXPECT_EQ(SlotText(-5, SourceGroup::Temperature), "-0.05");
    EXPECT_EQ(SlotText(1200, SourceGroup::Fan), "1200");
    EXPECT_EQ(SlotText(kNoReadingSlot, SourceGroup::Fan), "no reading");
}

TEST(HwmonFolder, LinuxPathsGoThroughZ) {
    const struct {
        const char *given, *folder;
    } cases[] = {
        {"", "Z:\\sys\\class\\hwmon"},
        {"/sys/class/hwmon/", "Z:\\sys\\class\\hwmon"},
        {"/tmp/tree", "Z:\\tmp\\tree"},
        {"C:\\tree\\", "C:\\tree"},
        {"tree", "tree"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"Z:\\", "Z:\\"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(HwmonFolder(c.given), c.folder) << c.given;
    }
}

TEST(SourceOptions, HowTheRealSourcesCombine) {
    const struct {
        std::vector<std::string> args;
        const char *error; // part of the message; "" when accepted
    } cases[] = {
        {{"--hwmon"}, ""},
        {{"--hwmon", "Z:\\tree", "--interval", "200"}, ""},
        {{"--list"}, ""},
        {{"--write-settings", "a.ini", "--force", "--fahrenheit"}, ""},
        {{"--replay", "r.csv", "--speed", "4", "--loop"}, ""},
        {{"--hwmon", "--replay", "r.csv"}, "--replay publishes a recording"},
        {{"--replay", "r.csv", "--list"}, "--replay publishes a recording"},
        {{"--hwmon", "--temps", "40"}, "do not go with --hwmon or --replay"},
        {{"--replay", "r.csv", "--animate"}, "do not go with --hwmon or --replay"},
        {{"--fahrenheit"}, "use it with --hwmon"},
        {{"--force"}, "there is no --write-settings"},
        {{"--hwmon", "--speed", "2"}, "go with --replay"},
        {{"--loop"}, "go with --replay"},
        {{"--replay", "r.csv", "--interval", "200"}, "own timing"},
        {{"--interval", "5"}, "from 10 to 3600000"},
        {{"--speed", "0"}, "from 0.01 to 1000"},
        {{"--replay"}, "needs a value"},
        {{"--write-settings"}, "needs a value"},
    };
    for (const auto &c : cases) {
        std::string error;
        auto options = ParseMonitorOptions(c.args, error);
        std::string what = c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : "");
        if (*c.error == '\0') {
            EXPECT_TRUE(options.has_value()) << what << ": " << error;
        } else {
            EXPECT_FALSE(options.has_value()) << what;
            EXPECT_NE(error.find(c.error), std::string::npos) << what << ": " << error;
        }
    }
    std::string error;
    auto list = ParseMonitorOptions({"--hwmon", "--list"}, error);
    ASSERT_TRUE(list.has_value());
    EXPECT_TRUE(list->hwmon);
    EXPECT_EQ(list->hwmonFolder, "") << "--list is not taken for a folder";
    auto folder = ParseMonitorOptions({"--list", "--hwmon", "/tmp/tree"}, error);
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(folder->hwmonFolder, "/tmp/tree");
}

TEST(SourceOptions, EachIsExplainedInTheHelp) {
    const std::string help = SourceUsage();
    for (const char *option :
         {"--hwmon [DIR]", "--interval MS", "--fahrenheit", "--list", "--write-settings FILE",
          "--force", "--replay FILE", "--speed X", "--loop"}) {
        size_t at = help.find(std::string("\n  ") + option);
        ASSERT_NE(at, std::string::npos) << option;
        EXPECT_NE(std::string(" \n").find(help[at + 3 + std::strlen(option)]), std::string::npos)
            << option;
    }
}

TEST(CsvText, RecordsAsRfc4180SplitsThem) {
    const struct {
        const char *what;
        std::string text;
        std::vector<std::vector<std::string>> records;
        std::vector<size_t> lines;
        size_t malformed; // index of the one malformed record, or 99
    } cases[] = {
        {"plain", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}, {1, 2}, 99},
        {"CR LF and no end", "a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}, {1, 2}, 99},
        {"empty fields", ",x,\n", {{"", "x", ""}}, {1}, 99},
        {"quoted comma and quotes", "\"a,\"\"b\"\"\",c\n", {{"a,\"b\"", "c"}}, {1}, 99},
        {"quoted line end", "\"a\nb\",c\nd\n", {{"a\nb", "c"}, {"d"}}, {1, 3}, 99},
        {"empty lines skipped", "a\n\n\r\nb\n", {{"a"}, {"b"}}, {1, 4}, 99},
        {"quote in an unquoted field", "a\"b,c\nd\n", {{}, {"d"}}, {1, 2}, 0},
        {"text after a closing quote", "\"a\"b,c\nd\n", {{}, {"d"}}, {1, 2}, 0},
        {"never closed", "a\n\"b,c\nd\n", {{"a"}, {}}, {1, 2}, 1},
    };
    for (const auto &c : cases) {
        std::vector<CsvRecord> records = ParseCsv(c.text);
        ASSERT_EQ(records.size(), c.records.size()) << c.what;
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].line, c.lines[i]) << c.what << " record " << i;
            EXPECT_EQ(records[i].error.empty(), i != c.malformed) << c.what << " record " << i;
            if (i != c.malformed) {
                EXPECT_EQ(records[i].fields, c.records[i]) << c.what << " record " << i;
            }
        }
    }
    for (std::string field : {"plain", "a,b", "say \"hi\"", "two\nlines", ""}) {
        std::vector<CsvRecord> back = ParseCsv(CsvField(field) + ",end\n");
        ASSERT_EQ(back.size(), 1u) << field;
        EXPECT_EQ(back[0].fields, (std::vector<std::string>{field, "end"})) << "round trip";
    }
}

TEST(Timestamps, OnlyRealLocalTimesOfTheLogsForm) {
    int64_t midnight = 0, before = 0, parsed = 0;
    ASSERT_TRUE(ParseTimestamp("2026-12-09T00:00:00.000", midnight));
    ASSERT_TRUE(ParseTimestamp("2026-12-08T23:59:59.250", before));
    EXPECT_EQ(midnight - before, 750);
    ASSERT_TRUE(ParseTimestamp("2024-03-01T00:00:00.000", midnight));
    ASSERT_TRUE(ParseTimestamp("2024-02-29T00:00:00.000", before));
    EXPECT_EQ(midnight - before, 86400000) << "a leap day";
    for (const char *bad : {"2026-12-08 18:21:43.782", "2026-12-08T18:21:43",
                            "2026-13-08T18:21:43.782", "2026-02-30T18:21:43.782",
                            "2026-12-08T24:00:00.000", "2026-12-08T18:21:43.78x", "", "time"}) {
        EXPECT_FALSE(ParseTimestamp(bad, parsed)) << bad;
    }
    EXPECT_TRUE(ParseTimestamp(LocalTimestamp(), parsed)) << "what the tools write reads back";
}

const std::string kHeader = "time,index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n";
const std::string kC = "\xC2\xB0"
                       "C";

std::string Row(const std::string &time, int index, const char *group, const std::string &value,
                const std::string &units = "\xC2\xB0"
                                           "C") {
    return time + "," + std::to_string(index) + "," + group + ",\"KD, " + group + "\"," + value +
           "," + units + ",0,150,6\n";
}

TEST(Recording, RowsBecomeOneBlockPerSnapshot) {
    const std::string t1 = "2026-12-08T18:00:00.000", t2 = "2026-12-08T18:00:01.500",
                      t3 = "2026-12-08T18:00:02.000";
    const std::string text = kHeader + Row(t1, 2, "fan", "900") +
                             Row(t1, 0, "temperature", "45.5") + Row(t1, 1, "temperature", "") +
                             Row(t2, 0, "temperature", "-2.51") + kHeader + Row(t3, 0, "fan", "0");
    Recording recording;
    std::string error;
    ASSERT_TRUE(ParseRecording(text, recording, error)) << error;
    EXPECT_TRUE(recording.problems.empty()) << recording.problems.front();
    ASSERT_EQ(recording.snapshots.size(), 3u);
    const auto &s = recording.snapshots;
    EXPECT_EQ(s[0].readings.temps, (std::vector<int32_t>{4550, kNoReadingSlot}));
    EXPECT_EQ(s[0].readings.fans, (std::vector<int32_t>{900}));
    EXPECT_EQ(s[0].line, 2u);
    EXPECT_EQ(s[1].readings.temps, (std::vector<int32_t>{-251}));
    EXPECT_TRUE(s[1].readings.fans.empty());
    EXPECT_EQ(s[2].readings.fans, (std::vector<int32_t>{0}));
    EXPECT_EQ(s[2].line, 7u) << "a repeated header is no row";
    EXPECT_FALSE(recording.fahrenheit);

    const struct {
        size_t index;
        double speed;
        int64_t hold;
    } holds[] = {{0, 1, 1500}, {1, 1, 500}, {2, 1, 500}, {0, 3, 500}, {1, 0.5, 1000}};
    for (const auto &h : holds) {
        EXPECT_EQ(HoldMs(recording, h.index, h.speed), h.hold)
            << "snapshot " << h.index << " at speed " << h.speed;
    }
}

TEST(Recording, MalformedRowsAreSkippedWithTheirLine) {
    const std::string t = "2026-12-08T18:00:00.000", later = "2026-12-08T17:59:59.000";
    const struct {
        const char *what;
        std::string row;
        const char *problem;
    } cases[] = {
        {"too few fields", t + ",0,temperature,x,45\n", "5 fields, where a row has 9"},
        {"a time of another form", Row("18:00:00", 0, "temperature", "45"), "is not a local time"},
        {"an index that is no number", "2026-12-08T18:00:00.000,x,fan,n,9,RPM,0,7000,7\n",
         "index 'x'"},
        {"an index past the sources", Row(t, 256, "fan", "9"), "from 0 to 255"},
        {"another group", Row(t, 0, "other", "9"), "group 'other' is neither"},
        {"a value that is no number", Row(t, 0, "temperature", "hot"), "value 'hot'"},
        {"a value past a slot", Row(t, 0, "temperature", "30000000"), "value '30000000'"},
        {"a source twice", Row(t, 3, "fan", "1"), "source 3 appears twice"},
    };
    for (const auto &c : cases) {
        std::string text = kHeader + Row(t, 3, "fan", "800") + c.row + Row(later, 0, "fan", "7");
        Recording recording;
        std::string error;
        ASSERT_TRUE(ParseRecording(text, recording, error)) << c.what << ": " << error;
        ASSERT_EQ(recording.problems.size(), 1u) << c.what;
        EXPECT_EQ(recording.problems[0].rfind("line 3: ", 0), 0u) << recording.problems[0];
        EXPECT_NE(recording.problems[0].find(c.problem), std::string::npos)
            << c.what << ": " << recording.problems[0];
        ASSERT_EQ(recording.snapshots.size(), 2u) << c.what;
        EXPECT_EQ(recording.snapshots[0].readings.fans, (std::vector<int32_t>{800})) << c.what;
        EXPECT_EQ(HoldMs(recording, 0, 1), 0) << "a clock that went back waits no time";
    }
}

TEST(Recording, TextsThatAreNoUsableRecording) {
    const struct {
        const char *what;
        std::string text;
        const char *error;
    } cases[] = {
        {"empty", "", "not a kdhost --log recording"},
        {"kdhost --csv, without the time",
         "index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n0,fan,a,1,RPM,0,7000,7\n",
         "first line should read time,index,"},
        {"the header alone", kHeader, "no usable row"},
        {"malformed rows only", kHeader + "x,y\n", "no usable row"},
    };
    for (const auto &c : cases) {
        Recording recording;
        std::string error;
        EXPECT_FALSE(ParseRecording(c.text, recording, error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
    Recording recording;
    std::string error;
    ASSERT_TRUE(ParseRecording("\xEF\xBB\xBF" + kHeader +
                                   Row("2026-12-08T18:00:00.000", 0, "temperature", "113",
                                       "\xC2\xB0"
                                       "F"),
                               recording, error))
        << "an editor's byte-order mark: " << error;
    EXPECT_TRUE(recording.fahrenheit);
    EXPECT_EQ(HoldMs(recording, 0, 1), 1000) << "one snapshot stands a second";
}

} // namespace
