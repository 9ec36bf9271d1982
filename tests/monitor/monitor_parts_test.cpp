// kdmonitor's plain functions on their own: which sysfs files are inputs and
// what they read as, the order and names of sensors, names as the settings
// file holds them, and the rows of a recording. Run under Windows-1252.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "csv_text.h"
#include "hwmon_sensors.h"
#include "monitor_options.h"
#include "number_text.h"
#include "recording_player.h"
#include "replay_reader.h"
#include "settings_writer.h"
#include "timestamp_text.h"

namespace {

const auto T = SourceGroup::Temperature, F = SourceGroup::Fan;

TEST(SensorRules, InputFilesAndTheirValues) {
    const struct {
        const char *file;
        bool input;
        SourceGroup group;
        unsigned channel;
    } files[] = {{"temp12_input", true, T, 12}, {"fan2_input", true, F, 2},
                 {"temp1_label", false, T, 0},  {"in0_input", false, T, 0},
                 {"temp_input", false, T, 0},   {"temp1_input.bak", false, T, 0}};
    for (const auto &c : files) {
        SourceGroup group{};
        unsigned channel = 0;
        ASSERT_EQ(ParseInputName(c.file, group, channel), c.input) << c.file;
        EXPECT_TRUE(!c.input || (group == c.group && channel == c.channel)) << c.file;
    }
    const struct {
        const char *text;
        bool number;
        int64_t value;
    } values[] = {{"45500\n", true, 45500},
                  {"-5250\n", true, -5250},
                  {" -7 ", true, -7},
                  {"\n", false, 0},
                  {"+7", false, 0},
                  {"4 5", false, 0},
                  {"n/a\n", false, 0},
                  {"45.5", false, 0},
                  {"1e3", false, 0},
                  {"0x10", false, 0},
                  {"-", false, 0},
                  {"9999999999999999999", false, 0},
                  // Found by fuzzing: leading zeros make no number larger.
                  {"0000000000000000000000005", true, 5}};
    for (const auto &c : values) {
        int64_t value = -1;
        ASSERT_EQ(ParseSysfsInteger(c.text, value), c.number) << "'" << c.text << "'";
        EXPECT_TRUE(!c.number || value == c.value) << "'" << c.text << "'";
    }
}

TEST(SensorRules, MillidegreesBecomeRoundedHundredths) {
    const struct {
        const char *what;
        int64_t millidegrees;
        bool fahrenheit;
        int32_t slot;
    } cases[] = {
        {"a half rounds up", 45505, false, 4551},
        {"just below a half", 45504, false, 4550},
        {"a negative half rounds away from zero", -5255, false, -526},
        {"just above a negative half", -5254, false, -525},
        {"too large for a slot", 30000000000000, false, kNoReadingSlot},
        {"Fahrenheit", 45500, true, 11390},
        {"Fahrenheit at -40", -40000, true, -4000},
        {"Fahrenheit at 300 degrees C is its bound", 300000, true, 57200},
        {"Fahrenheit half", 25, true, 3205},            // 3204.5
        {"Fahrenheit negative half", -17825, true, -9}, // -8.5
    };
    for (const auto &c : cases) {
        EXPECT_EQ(TemperatureSlot(c.millidegrees, c.fahrenheit), c.slot) << c.what;
    }
    EXPECT_EQ(FanSlot(int64_t(1) << 40), kNoReadingSlot);
}

Sensor Make(SourceGroup group, const char *device, const char *path, unsigned channel,
            const char *label = "") {
    return {device, path, group, channel, label, std::string(path) + std::to_string(channel)};
}

TEST(SensorRules, OrderByNameThenDevicePathThenChannel) {
    std::vector<Sensor> sensors = {Make(F, "nct6798", "p\\nct", 2),
                                   Make(T, "nct6798", "p\\nct", 10),
                                   Make(T, "coretemp", "p\\core", 1, "Package id 0"),
                                   Make(T, "nct6798", "p\\nct", 9),
                                   Make(T, "amdgpu", "pci\\0a", 1, "edge"),
                                   Make(F, "amdgpu", "pci\\03", 1),
                                   Make(T, "amdgpu", "pci\\03", 2, "junction")};
    const std::vector<std::string> expected = {
        "amdgpu junction", "amdgpu edge", "coretemp Package id 0", "nct6798 temp9",
        "nct6798 temp10",  "amdgpu fan1", "nct6798 fan2"};
    for (bool reversed : {false, true}) {
        if (reversed) {
            std::reverse(sensors.begin(), sensors.end()); // whatever the scan's order
        }
        SensorSelection selection = SelectForBlock(sensors);
        std::vector<std::string> names;
        for (const Sensor &sensor : selection.published) {
            names.push_back(SensorName(sensor));
        }
        EXPECT_EQ(names, expected);
        EXPECT_EQ(selection.temps, 5u);
    }
}

// Devices of one name without a device link have only their hwmonK folder as
// a path: its K orders them as a number, never as text.
TEST(SensorRules, HwmonNumbersInDevicePathsCompareAsNumbers) {
    const struct {
        const char *what;
        std::vector<std::string> paths; // in the order expected
    } cases[] = {
        {"hwmonK of more digits after fewer",
         {"Z:\\sys\\hwmon\\hwmon9", "Z:\\sys\\hwmon\\hwmon105", "Z:\\sys\\hwmon\\hwmon1001"}},
        {"the number decides before what follows",
         {"v\\hwmon2\\z", "v\\hwmon10\\a", "v\\hwmon10\\b"}},
        {"leading zeros: the number, then the text", {"v\\hwmon007", "v\\hwmon7", "v\\hwmon8"}},
        {"other digits are text: bus addresses are hexadecimal",
         {"pci\\03", "pci\\0a", "pci\\10", "pci\\9"}},
        {"a shorter path first", {"p\\hwmon", "p\\hwmon0", "p\\hwmon0a"}},
    };
    for (const auto &c : cases) {
        std::vector<Sensor> sensors;
        for (auto at = c.paths.rbegin(); at != c.paths.rend(); ++at) {
            sensors.push_back(Make(T, "acpitz", at->c_str(), 1));
        }
        SensorSelection selection = SelectForBlock(sensors);
        std::vector<std::string> order;
        for (const Sensor &sensor : selection.published) {
            order.push_back(sensor.devicePath);
        }
        EXPECT_EQ(order, c.paths) << c.what;
    }
}

TEST(SettingsWriter, NamesTheProfileReaderGivesBackAsWritten) {
    const struct {
        const char *what;
        std::string utf8;
        std::string ansi;
    } cases[] = {
        {"cut to 31", "nct6798 AUXTIN0 a very long sensor label",
         "nct6798 AUXTIN0 a very long sen"},
        {"no trailing space after the cut", "nct6798 AUXTIN0 a very long se x",
         "nct6798 AUXTIN0 a very long se"},
        {"in Windows-1252",
         "nct6798 L\xC3\xBC"
         "fter",
         "nct6798 L\xFC"
         "fter"},
        {"what 1252 lacks, no best fit", "\xD0\xAF\xD0\xB4 \xC5\x81\xC3\xB3", "?? ?\xF3"},
        {"bytes that are no UTF-8", "a \xFF\xFE", "a ??"},
        {"a line end would start another key", "a\r\nFan1=b", "a  Fan1=b"},
        {"tabs and controls",
         "a\tb\x01"
         "c",
         "a b c"},
        {"spaces the reader drops", "  edge  ", "edge"},
        {"quotes the reader strips", "\"quoted\"", "\"\"quoted\"\""},
        // The reader strips single quotes too, and (found by fuzzing) a quoted
        // value that fills its 32-byte buffer loses its last character.
        {"single quotes, which the reader strips too", "'single'", "\"'single'\""},
        {"one quote alone stays", "'", "'"},
        {"quoted and 31 long, cut to 30", "\"abcdefghijklmnopqrstuvwxyz012\"",
         "\"abcdefghijklmnopqrstuvwxyz012"},
        {"fuzzing: quoted, 31 long, spaces at the cut", "\"Package id 0 and its twins!  \"",
         "\"Package id 0 and its twins!"},
        {"quoted and 30 long, kept", "\"a name of thirty bytes, yes.\"",
         "\"\"a name of thirty bytes, yes.\"\""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SettingsName(c.utf8), c.ansi) << c.what;
    }
    SensorSelection selection =
        SelectForBlock({Make(F, "nct6798", "p", 2), Make(T, "coretemp", "c", 1, "Package id 0"),
                        Make(F, "nct6798", "p", 1, "CPU fan"), Make(T, "nct6798", "p", 3)});
    std::string text = SettingsText(selection, true, "Z:\\tree\r\n");
    EXPECT_NE(text.find("in Z:\\tree  .\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n[kelvodyn]\r\nUseFahrenheit=yes\r\nTemperature1=coretemp Package id "
                        "0\r\nTemperature2=nct6798 temp3\r\nFan1=nct6798 CPU fan\r\nFan2=nct6798 "
                        "fan2\r\n"),
              std::string::npos)
        << text;
}

// Two sensors never get one name in a group, and every name stays within 31.
TEST(SettingsWriter, NamesAreUniqueWithinEachGroup) {
    const std::string longLabel = "a label long enough to be cut here";
    const struct {
        const char *what;
        std::vector<Sensor> sensors; // in the order they are published
        std::vector<std::string> names;
    } cases[] = {
        {"names apart stay as they are",
         {Make(T, "coretemp", "c", 1, "Core 0"), Make(T, "coretemp", "c", 2, "Core 1")},
         {"coretemp Core 0", "coretemp Core 1"}},
        {"two cards of one name",
         {Make(T, "amdgpu", "pci\\03", 1, "edge"), Make(T, "amdgpu", "pci\\0a", 1, "edge")},
         {"amdgpu#1 edge", "amdgpu#2 edge"}},
        {"only the equal names are numbered",
         {Make(T, "amdgpu", "pci\\03", 1, "edge"), Make(T, "amdgpu", "pci\\03", 2, "junction"),
          Make(T, "amdgpu", "pci\\0a", 1, "edge")},
         {"amdgpu#1 edge", "amdgpu junction", "amdgpu#2 edge"}},
        {"a temperature and a fan may share a name",
         {Make(T, "dev", "p", 1, "CPU"), Make(F, "dev", "p", 1, "CPU")},
         {"dev CPU", "dev CPU"}},
        {"labels equal up to the cut",
         {Make(T, "nct", "p", 1, (longLabel + " 1").c_str()),
          Make(T, "nct", "p", 2, (longLabel + " 2").c_str()),
          Make(T, "nct", "p", 3, (longLabel + " 3").c_str())},
         {"nct a label long enough to be c", "nct a label long enough to (2)",
          "nct a label long enough to (3)"}},
        {"a label a driver repeats",
         {Make(F, "it87", "p", 1, "fan"), Make(F, "it87", "p", 2, "fan")},
         {"it87 fan", "it87 fan (2)"}},
    };
    for (const auto &c : cases) {
        std::vector<std::string> names = UniqueSettingsNames(c.sensors);
        EXPECT_EQ(names, c.names) << c.what;
        for (const std::string &name : names) {
            EXPECT_LE(name.size(), 31u) << c.what << ": " << name;
        }
    }
}

TEST(SourceOptions, HowTheRealSourcesCombine) {
    const struct {
        std::vector<std::string> args;
        const char *error; // part of the message; "" when accepted
    } cases[] = {
        {{"--hwmon", "Z:\\tree", "--interval", "200"}, ""},
        {{"--write-settings", "a.ini", "--force", "--fahrenheit"}, ""},
        {{"--replay", "r.csv", "--speed", "4", "--loop"}, ""},
        {{"--hwmon", "--replay", "r.csv"}, "--replay publishes a recording"},
        {{"--hwmon", "--temps", "40"}, "do not go with --hwmon or --replay"},
        {{"--force"}, "there is no --write-settings"},
        {{"--hwmon", "--speed", "2"}, "go with --replay"},
        {{"--replay", "r.csv", "--interval", "200"}, "own timing"},
        {{"--temps", "1.00,-0.01,21474836.47"}, ""},
        {{"--temps", "1.005"}, "'1.005' has more than two decimals"},
        {{"--temps", "1.000"}, "'1.000' has more than two decimals"},
        {{"--temps", "21474836.48"}, "is out of range"},
        {{"--stop"}, ""},
        {{"--stop", "--help"}, ""},
        {{"--stop", "--temps", "1"}, "--temps does not go with it"},
        {{"--not-live", "--stop"}, "--not-live does not go with it"},
        {{"--stop", "--hwmon"}, "--hwmon does not go with it"},
    };
    for (const auto &c : cases) {
        std::string error;
        auto options = ParseMonitorOptions(c.args, error);
        std::string what = c.args[0] + " " + c.args.back();
        EXPECT_EQ(options.has_value(), *c.error == '\0') << what;
        EXPECT_NE(error.find(c.error), std::string::npos) << what << ": " << error;
    }
    std::string error;
    auto list = ParseMonitorOptions({"--list", "--hwmon", "--fahrenheit"}, error);
    ASSERT_TRUE(list.has_value()) << error;
    EXPECT_TRUE(list->hwmon);
    EXPECT_EQ(list->hwmonFolder, "") << "an option is no folder";
    auto joined = ParseMonitorOptions({"--hwmon=Z:\\tree", "--list"}, error);
    ASSERT_TRUE(joined.has_value()) << error;
    EXPECT_EQ(joined->hwmonFolder, "Z:\\tree") << "the folder joined with '='";
    EXPECT_EQ(HwmonFolder(""), "Z:\\sys\\class\\hwmon");
    EXPECT_EQ(HwmonFolder("/tmp/tree/"), "Z:\\tmp\\tree");
    EXPECT_EQ(HwmonFolder("C:\\tree\\"), "C:\\tree");
    EXPECT_EQ(HwmonFolder("\\\\server\\share"), "\\\\server\\share");
}

TEST(CsvText, RecordsAsRfc4180SplitsThem) {
    const struct {
        const char *what;
        std::string text;
        std::vector<std::vector<std::string>> records; // {} for a malformed one
        std::vector<size_t> lines;
    } cases[] = {
        {"CR LF, empty fields, no end", ",b\r\nc,", {{"", "b"}, {"c", ""}}, {1, 2}},
        {"quoted comma and quotes", "\"a,\"\"b\"\"\",c\n", {{"a,\"b\"", "c"}}, {1}},
        {"quoted line end", "\"a\nb\",c\n\nd\n", {{"a\nb", "c"}, {"d"}}, {1, 4}},
        {"quote in an unquoted field", "a\"b,c\nd\n", {{}, {"d"}}, {1, 2}},
        {"text after a closing quote", "\"a\"b,c\nd\n", {{}, {"d"}}, {1, 2}},
        {"never closed", "a\n\"b,c\nd\n", {{"a"}, {}}, {1, 2}},
    };
    for (const auto &c : cases) {
        std::vector<CsvRecord> records = ParseCsv(c.text);
        ASSERT_EQ(records.size(), c.records.size()) << c.what;
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].line, c.lines[i]) << c.what << " record " << i;
            EXPECT_EQ(records[i].error.empty(), !c.records[i].empty()) << c.what << " " << i;
            EXPECT_TRUE(c.records[i].empty() || records[i].fields == c.records[i]) << c.what;
        }
    }
}

TEST(Timestamps, OnlyRealLocalTimesOfTheLogsForm) {
    int64_t after = 0, before = 0;
    ASSERT_TRUE(ParseTimestamp("2024-03-01T00:00:00.000", after));
    ASSERT_TRUE(ParseTimestamp("2024-02-28T23:59:59.250", before));
    EXPECT_EQ(after - before, 86400750) << "across a leap day";
    for (const char *bad :
         {"2026-12-08 18:21:43.782", "2026-12-08T18:21:43", "2026-13-08T18:21:43.782",
          "2026-02-30T18:21:43.782", "2026-12-08T24:00:00.000", "time"}) {
        EXPECT_FALSE(ParseTimestamp(bad, after)) << bad;
    }
    EXPECT_TRUE(ParseTimestamp(LocalTimestamp(), after)) << "what the tools write reads back";
}

// The portable calendar counts exactly as the platform's file times do.
TEST(Timestamps, CountLikeThePlatformsFileTimes) {
    for (const char *stamp :
         {"1601-01-01T00:00:00.000", "1700-03-01T12:00:00.001", "1900-02-28T23:59:59.999",
          "2000-02-29T06:30:15.500", "2024-12-31T23:59:59.999", "2100-03-01T00:00:00.000",
          "9999-12-31T23:59:59.999"}) {
        int64_t ours = 0;
        ASSERT_TRUE(ParseTimestamp(stamp, ours)) << stamp;
        SYSTEMTIME time{};
        std::sscanf(stamp, "%4hu-%2hu-%2huT%2hu:%2hu:%2hu.%3hu", &time.wYear, &time.wMonth,
                    &time.wDay, &time.wHour, &time.wMinute, &time.wSecond, &time.wMilliseconds);
        FILETIME ticks;
        ASSERT_TRUE(SystemTimeToFileTime(&time, &ticks)) << stamp;
        const uint64_t platform = (uint64_t(ticks.dwHighDateTime) << 32) | ticks.dwLowDateTime;
        EXPECT_EQ(ours, int64_t(platform / 10000)) << stamp;
    }
    int64_t ms = 0;
    EXPECT_FALSE(ParseTimestamp("1600-12-31T23:59:59.999", ms)) << "before the count begins";
    EXPECT_FALSE(ParseTimestamp("2100-02-29T00:00:00.000", ms)) << "2100 is no leap year";
    EXPECT_TRUE(ParseTimestamp("2000-02-29T00:00:00.000", ms)) << "2000 is one";
}

const std::string kHeader = "time,index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n";

std::string Row(const std::string &time, int index, const char *group, const std::string &value,
                const std::string &units = "\xC2\xB0"
                                           "C") {
    return time + "," + std::to_string(index) + "," + group + ",\"KD, " + group + "\"," + value +
           "," + units + ",0,150,6\n";
}

// The slot the host numbers index: temperatures first, then fans.
int64_t AtIndex(const Readings &readings, size_t index) {
    const size_t temps = readings.temps.size();
    if (index < temps) {
        return readings.temps[index];
    }
    return index - temps < readings.fans.size() ? readings.fans[index - temps] : -1;
}

// Every snapshot of a recording in text, and what reading it found.
struct ReadBack {
    bool recording = false;
    std::string error;
    std::vector<RecordedSnapshot> snapshots;
    RecordingFindings findings;
};

ReadBack ReadAll(const std::string &text) {
    std::istringstream in(text);
    RecordingReader reader(in);
    ReadBack back;
    back.recording = reader.ReadHeader(back.error);
    for (RecordedSnapshot snapshot; back.recording && reader.Next(snapshot);) {
        back.snapshots.push_back(snapshot);
    }
    back.findings = reader.Findings();
    return back;
}

// The holds a player gives the snapshots of text, one pass (or more with loop).
std::vector<int64_t> Holds(const std::string &text, double speed, bool loop, size_t count) {
    RecordingPlayer player(
        [text](std::string &) { return std::make_unique<std::istringstream>(text); }, speed, loop);
    std::vector<int64_t> holds;
    RecordedSnapshot snapshot;
    int64_t hold = 0;
    while (holds.size() < count && player.Next(snapshot, hold)) {
        holds.push_back(hold);
    }
    return holds;
}

TEST(Recording, RowsBecomeOneBlockPerSnapshot) {
    const std::string t1 = "2026-12-08T18:00:00.000", t2 = "2026-12-08T18:00:01.500",
                      t3 = "2026-12-08T18:00:02.000";
    const std::string text = "\xEF\xBB\xBF" + kHeader + Row(t1, 2, "fan", "900") +
                             Row(t1, 0, "temperature", "45.5") + Row(t1, 1, "temperature", "") +
                             Row(t2, 0, "temperature", "-2.51") + kHeader + Row(t3, 0, "fan", "0");
    ReadBack back = ReadAll(text);
    ASSERT_TRUE(back.recording) << back.error;
    EXPECT_TRUE(back.findings.problems.empty());
    EXPECT_EQ(back.findings.skipped, 0u);
    ASSERT_EQ(back.snapshots.size(), 3u);
    const auto &s = back.snapshots;
    EXPECT_EQ(s[0].readings.temps, (std::vector<int32_t>{4550, kNoReadingSlot}));
    EXPECT_EQ(s[0].readings.fans, (std::vector<int32_t>{900}));
    EXPECT_EQ(s[1].readings.temps, (std::vector<int32_t>{-251}));
    EXPECT_EQ(s[2].readings.fans, (std::vector<int32_t>{0}));
    EXPECT_EQ(s[2].line, 7u) << "a repeated header is no row";
    EXPECT_EQ(back.findings.firstTime, t1);
    EXPECT_EQ(back.findings.lastTime, t3);
    EXPECT_EQ(Holds(text, 1, false, 9), (std::vector<int64_t>{1500, 500, 500}));
    EXPECT_EQ(Holds(text, 3, false, 9), (std::vector<int64_t>{500, 167, 167}));
    EXPECT_EQ(Holds(text, 0.5, true, 5), (std::vector<int64_t>{3000, 1000, 1000, 3000, 1000}))
        << "a loop starts again, the last snapshot standing as long as the gap before it";
    EXPECT_EQ(Holds(kHeader + Row(t1, 0, "fan", "1"), 1, false, 9), (std::vector<int64_t>{1000}))
        << "a single snapshot stands a second";
}

TEST(Recording, MalformedRowsAreSkippedWithTheirLine) {
    const std::string t = "2026-12-08T18:00:00.000", later = "2026-12-08T17:59:59.000";
    const struct {
        std::string row;
        const char *problem;
    } cases[] = {
        {t + ",0,temperature,x,45\n", "5 fields, where a row has 9"},
        {Row("18:00:00", 0, "temperature", "45"), "time '18:00:00' is not a local time"},
        {Row(t, 256, "fan", "9"), "index '256' is not a source number from 0 to 255"},
        {Row(t, 0, "other", "9"), "group 'other' is neither temperature nor fan"},
        {Row(t, 0, "temperature", "hot"), "value 'hot' is not a temperature in degrees"},
        {Row(t, 0, "temperature", "30000000"), "value '30000000' is out of range"},
        {Row(t, 3, "fan", "1"), "source 3 appears twice"},
        {t + ",0,fan,\"a\"b,1,RPM,0,7000,7\n", "text after the closing quote of field 'a'"},
    };
    for (const auto &c : cases) {
        ReadBack back =
            ReadAll(kHeader + Row(t, 3, "fan", "800") + c.row + Row(later, 0, "fan", "7"));
        ASSERT_TRUE(back.recording) << c.problem << ": " << back.error;
        ASSERT_EQ(back.findings.problems.size(), 1u) << c.problem;
        EXPECT_EQ(back.findings.problems[0].find(std::string("line 3: ") + c.problem), 0u)
            << back.findings.problems[0];
        EXPECT_EQ(back.findings.skipped, 1u) << c.problem;
        EXPECT_EQ(back.findings.firstSkippedLine, 3u) << c.problem;
        ASSERT_EQ(back.snapshots.size(), 2u) << c.problem;
        EXPECT_EQ(AtIndex(back.snapshots[0].readings, 3), 800)
            << c.problem << ": index 3 keeps its row";
    }
    EXPECT_EQ(Holds(kHeader + Row(t, 3, "fan", "800") + Row(later, 0, "fan", "7"), 1, false, 1),
              (std::vector<int64_t>{0}))
        << "a clock that went back waits no time";
    ReadBack back = ReadAll(kHeader + "x,y\n");
    EXPECT_TRUE(back.recording);
    EXPECT_TRUE(back.snapshots.empty());
    EXPECT_EQ(back.findings.skipped, 1u);
    back = ReadAll("index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n");
    EXPECT_FALSE(back.recording);
    EXPECT_NE(back.error.find("not a kdhost --log recording"), std::string::npos) << back.error;
}

TEST(Recording, ARowThatCannotBeReadKeepsItsIndex) {
    const std::string t = "2026-12-08T18:00:00.000", t2 = "2026-12-08T18:00:01.000";
    const int32_t N = kNoReadingSlot;
    const struct {
        const char *what;
        std::string rows;
        std::vector<int32_t> temps, fans; // of the last snapshot
        size_t skipped;
    } cases[] = {
        {"40, oops, 42",
         Row(t, 0, "temperature", "40") + Row(t, 1, "temperature", "oops") +
             Row(t, 2, "temperature", "42"),
         {4000, N, 4200},
         {},
         1},
        {"fans the same",
         Row(t, 0, "fan", "900") + Row(t, 1, "fan", "9x") + Row(t, 2, "fan", "1100"),
         {},
         {900, N, 1100},
         1},
        {"rows by their index, not their order",
         Row(t, 3, "fan", "7") + Row(t, 1, "temperature", "2") + Row(t, 0, "temperature", "1") +
             Row(t, 2, "fan", "6"),
         {100, 200},
         {6, 7},
         0},
        {"a row cut short still holds its index",
         Row(t, 0, "temperature", "1") + t + ",1,temperature\n" + Row(t, 2, "temperature", "3"),
         {100, N, 300},
         {},
         1},
        {"a row of no group among temperatures is one",
         Row(t, 0, "temperature", "1") + Row(t, 1, "?", "2") + Row(t, 2, "temperature", "3") +
             Row(t, 3, "fan", "5"),
         {100, N, 300},
         {5},
         1},
        {"a row whose time cannot be read belongs to its snapshot",
         Row(t, 0, "fan", "1") + Row("noon", 1, "fan", "2") + Row(t, 2, "fan", "3"),
         {},
         {1, N, 3},
         1},
        {"a temperature after a fan is no reading",
         Row(t, 0, "temperature", "1") + Row(t, 1, "fan", "2") + Row(t, 2, "temperature", "3"),
         {100},
         {2, N},
         1},
        {"a gap between the groups takes the group it had before",
         Row(t2, 0, "temperature", "1") + Row(t2, 1, "temperature", "2") + Row(t2, 2, "fan", "3") +
             Row(t, 0, "temperature", "1") + Row(t, 1, "temperature", "x") + Row(t, 2, "fan", "3"),
         {100, N},
         {3},
         1},
        {"one that had no group before is a fan",
         Row(t, 0, "temperature", "1") + Row(t, 1, "", "2") + Row(t, 2, "fan", "3"),
         {100},
         {N, 3},
         1},
    };
    for (const auto &c : cases) {
        ReadBack back = ReadAll(kHeader + c.rows);
        ASSERT_FALSE(back.snapshots.empty()) << c.what;
        EXPECT_EQ(back.snapshots.back().readings.temps, c.temps) << c.what;
        EXPECT_EQ(back.snapshots.back().readings.fans, c.fans) << c.what;
        EXPECT_EQ(back.findings.skipped, c.skipped) << c.what;
    }
}

TEST(Recording, ValuesAreExactlyWhatKdhostWrites) {
    const auto T = RowGroup::Temperature, F = RowGroup::Fan;
    const struct {
        const char *text;
        RowGroup group;
        const char *problem; // "" when read
        int32_t slot;
    } cases[] = {
        {"45", T, "", 4500},
        {"-2.5", T, "", -250},
        {"38.88", T, "", 3888},
        {"-0", T, "", 0},
        {"", T, "", kNoReadingSlot},
        {"21474836.47", T, "", INT32_MAX},
        {"2147483647", F, "", INT32_MAX},
        {"-7", F, "", -7},
        {"1e3", T, "is not a temperature", 0},
        {"0x1A", T, "is not a temperature", 0},
        {" 45", T, "is not a temperature", 0},
        {"45 ", T, "is not a temperature", 0},
        {"nan", T, "is not a temperature", 0},
        {"inf", T, "is not a temperature", 0},
        {"+5", T, "is not a temperature", 0},
        {"45.", T, "is not a temperature", 0},
        {".5", T, "is not a temperature", 0},
        {"45.123", T, "is not a temperature", 0},
        {"-", T, "is not a temperature", 0},
        {"900.5", F, "is not a speed in RPM", 0},
        {"21474836.48", T, "is out of range", 0},
        {"-21474836.48", T, "is out of range", 0},
        {"2147483648", F, "is out of range", 0},
        {"99999999999999999999999999", F, "is out of range", 0},
    };
    for (const auto &c : cases) {
        int32_t slot = 0;
        const std::string problem = ParseRecordedValue(c.text, c.group, slot);
        EXPECT_NE(problem.find(c.problem), std::string::npos) << c.text << ": " << problem;
        EXPECT_EQ(problem.empty(), *c.problem == '\0') << c.text << ": " << problem;
        EXPECT_TRUE(!problem.empty() || slot == c.slot) << c.text << " read as " << slot;
    }
    int32_t slot = 0;
    EXPECT_NE(ParseRecordedValue(std::string("4\0"
                                             "5",
                                             3),
                                 T, slot),
              "")
        << "a NUL inside";
    // What kdhost writes for any reading reads back as the slot it came from.
    for (int32_t hundredths = -300000; hundredths <= 300000; hundredths += 37) {
        const float value = float(hundredths) / 100.0f;
        ASSERT_EQ(ParseRecordedValue(ResolutionText(value, 2), T, slot), "") << value;
        EXPECT_EQ(slot, hundredths) << ResolutionText(value, 2);
        ASSERT_EQ(ParseRecordedValue(ResolutionText(float(hundredths), 0), F, slot), "");
        EXPECT_EQ(slot, hundredths);
    }
}

// A recording of any size is read in the memory of one snapshot: problems are
// counted, the first few kept, each quoting a short prefix of its cell. Long
// lines under the cap are skipped rows; past it, see LinesPastTheCap below.
TEST(Recording, ProblemsAreCountedAndTheirQuotesShort) {
    const std::string t = "2026-12-08T18:00:00.000";
    std::string text = kHeader;
    for (int i = 0; i < 5000; ++i) {
        text += "garbage " + std::to_string(i) + "\n";
    }
    text += Row(t, 0, "temperature", "\x1B[2J" + std::string(1000, '9') + "x");
    text += t + ",1,fan,\"" + std::string(20000, 'n') + "\",5,RPM,0,7000,7\n";
    text += t + ",2,fan" + std::string(30000, ',') + "\n" + Row(t, 3, "fan", "1");
    ReadBack back = ReadAll(text);
    EXPECT_EQ(back.findings.skipped, 5003u);
    EXPECT_EQ(back.findings.firstSkippedLine, 2u);
    ASSERT_EQ(back.findings.problems.size(), kProblemsKept);
    ASSERT_EQ(back.snapshots.size(), 1u);
    EXPECT_EQ(back.snapshots[0].readings.fans,
              (std::vector<int32_t>{kNoReadingSlot, kNoReadingSlot, 1}));
    back = ReadAll(kHeader + text.substr(text.find("\n" + t) + 1));
    ASSERT_EQ(back.findings.problems.size(), 3u);
    EXPECT_NE(back.findings.problems[0].find("value '\\e[2J99999"), std::string::npos)
        << back.findings.problems[0];
    EXPECT_NE(back.findings.problems[1].find("field 4 is longer than 1024 bytes"),
              std::string::npos)
        << back.findings.problems[1];
    EXPECT_NE(back.findings.problems[2].find("30003 fields, where a row has 9"), std::string::npos)
        << back.findings.problems[2];
    for (const std::string &problem : back.findings.problems) {
        EXPECT_LT(problem.size(), 200u) << problem.substr(0, 200);
    }
}

TEST(Recording, AQuoteNeverClosedEndsWhatCanBeRead) {
    const std::string t = "2026-12-08T18:00:00.000", t2 = "2026-12-08T18:00:01.000";
    ReadBack back = ReadAll(kHeader + Row(t, 0, "fan", "1") + t2 + ",0,fan,\"broken,2,RPM\n" + t2 +
                            ",1,fan,B,3,RPM,0,7000,7\n" + t2 + ",2,fan,C,4,RPM,0,7000,7\n");
    ASSERT_EQ(back.snapshots.size(), 1u) << "nothing after the quote is taken for rows";
    EXPECT_EQ(back.findings.cutShort, "a quote opened on line 3 is never closed, so the rest of "
                                      "the recording from there on cannot be read");
    EXPECT_EQ(back.findings.skipped, 1u);
}

} // namespace
