// kdhost.exe run as a user runs it, against kdmonitor.exe in a process of its
// own: what it prints through a pipe in each format, and its exit codes.
#include <gtest/gtest.h>

#include <regex>

#include "support/fake_monitor.h"
#include "support/host_output.h"
#include "support/plugin_copy.h"
#include "support/processes.h"

namespace {

const std::string C = kDegreesUtf8 + "C";

struct SourceCase {
    const char *what;
    int index;
    const char *group;
    const char *name;
    std::string tableValue; // value and unit as the table shows them
    std::string jsonValue;
    std::string csvRow;
};

// kdmonitor --temps 45.5,52,400 --fans 900,1200,0: 400 degrees is past the
// plug-in's bound, so that source has no reading.
const SourceCase kPublished[] = {
    {"first temperature", 0, "temperature", "KD temperature 1", "45.50  " + C, "45.5",
     "0,temperature,KD temperature 1,45.5," + C + ",0,150,6"},
    {"second temperature", 1, "temperature", "KD temperature 2", "52.00  " + C, "52",
     "1,temperature,KD temperature 2,52," + C + ",0,150,6"},
    {"temperature past the bound", 2, "temperature", "KD temperature 3", "no reading", "null",
     "2,temperature,KD temperature 3,," + C + ",0,150,6"},
    {"first fan", 3, "fan", "KD fan speed 1", "900  RPM", "900",
     "3,fan,KD fan speed 1,900,RPM,0,7000,7"},
    {"second fan", 4, "fan", "KD fan speed 2", "1200  RPM", "1200",
     "4,fan,KD fan speed 2,1200,RPM,0,7000,7"},
    {"stopped fan", 5, "fan", "KD fan speed 3", "0  RPM", "0",
     "5,fan,KD fan speed 3,0,RPM,0,7000,7"},
};

TEST(HostSnapshot, TableJsonAndCsvShowThePublishedSources) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 45.5,52,400 --fans 900,1200,0", monitor));

    std::string table, json, csv;
    ASSERT_EQ(RunTool("kdhost.exe", "", &table), 0) << table;
    ASSERT_EQ(RunTool("kdhost.exe", "--json", &json), 0) << json;
    ASSERT_EQ(RunTool("kdhost.exe", "--csv", &csv), 0) << csv;

    EXPECT_EQ(RowCount(table), 6u) << table;
    EXPECT_NE(json.find("\"count\": 6,"), std::string::npos) << json;
    std::vector<std::string> csvLines = Lines(csv);
    ASSERT_EQ(csvLines.size(), 7u) << csv;
    EXPECT_EQ(csvLines[0], "index,group,name,value,units,scaleMin,scaleMax,scaleDivisions");
    for (const SourceCase &c : kPublished) {
        SCOPED_TRACE(c.what);
        std::regex row("^" + std::to_string(c.index) + "  " + c.group + " +" + c.name + " +" +
                       c.tableValue + " +0 +" + (c.group[0] == 't' ? "150 +6$" : "7000 +7$"));
        EXPECT_TRUE(std::regex_search(RowOf(table, c.name), row)) << table;

        std::string line = JsonLineOf(json, c.index);
        EXPECT_NE(line.find(std::string("\"group\": \"") + c.group + "\""), std::string::npos)
            << line;
        EXPECT_NE(line.find(std::string("\"name\": \"") + c.name + "\""), std::string::npos)
            << line;
        EXPECT_NE(line.find("\"value\": " + c.jsonValue + ","), std::string::npos) << line;
        EXPECT_EQ(csvLines[size_t(c.index) + 1], c.csvRow);
    }
    for (const std::string *output : {&table, &json, &csv}) {
        EXPECT_EQ(output->find("e+38"), std::string::npos) << "no reading shown as a number";
        EXPECT_EQ(output->find("3.40282"), std::string::npos) << "no reading shown as a number";
    }
}

TEST(HostSnapshot, NamesAndUnitsComeFromTheSettingsFileAndAreEscaped) {
    PluginCopy copy("host names");
    ASSERT_TRUE(copy.ok());
    // ANSI bytes, as a user's editor saves them: 0xFC is u-umlaut in Windows-1252.
    copy.WriteSettings(SettingsText({"UseFahrenheit=yes", "Temperature1=CPU \"core\", package",
                                     "Fan1=L\xFC"
                                     "fter",
                                     "Fan2="}));
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 113 --fans 900,1200", monitor));
    const std::string plugin = "--plugin \"" + copy.folder() + "\\KelvoDyn.dll\"";
    const std::string fahrenheit = kDegreesUtf8 + "F";
    const std::string luefter = "L\xC3\xBC"
                                "fter";

    std::string csv, json, table;
    ASSERT_EQ(RunTool("kdhost.exe", plugin + " --csv", &csv), 0) << csv;
    ASSERT_EQ(RunTool("kdhost.exe", plugin + " --json", &json), 0) << json;
    ASSERT_EQ(RunTool("kdhost.exe", plugin, &table), 0) << table;

    std::vector<std::string> rows = Lines(csv);
    ASSERT_EQ(rows.size(), 4u) << csv;
    EXPECT_EQ(rows[1],
              "0,temperature,\"CPU \"\"core\"\", package\",113," + fahrenheit + ",0,150,6");
    EXPECT_EQ(rows[2], "1,fan," + luefter + ",900,RPM,0,7000,7");
    EXPECT_EQ(rows[3], "2,fan,,1200,RPM,0,7000,7");

    EXPECT_NE(JsonLineOf(json, 0).find("\"name\": \"CPU \\\"core\\\", package\", \"units\": \"" +
                                       fahrenheit + "\""),
              std::string::npos)
        << json;
    EXPECT_NE(JsonLineOf(json, 2).find("\"name\": \"\""), std::string::npos) << json;

    EXPECT_NE(RowOf(table, luefter).find("900  RPM"), std::string::npos) << table;
    EXPECT_NE(RowOf(table, "(empty name)").find("1200  RPM"), std::string::npos) << table;
    EXPECT_NE(RowOf(table, "CPU \"core\", package").find("113.00  " + fahrenheit),
              std::string::npos)
        << table;
}

struct ExitCase {
    const char *what;
    std::string arguments;
    int code;
    std::string output; // expected in standard output
    std::string errors; // expected in standard error
};

TEST(HostExitCodes, WithoutAMonitorAndWithUnusablePlugins) {
    ASSERT_FALSE(BlockNameOpens()) << "these cases need no monitor running";
    PluginCopy scratch("host unusable");
    ASSERT_TRUE(scratch.ok());
    scratch.WriteFile("text.dll", "not a module at all\r\n");
    const std::string bin = BuildDir() + "\\";
    const ExitCase cases[] = {
        {"no monitor: table", "", 1, "No sources: the plug-in reports 0.", ""},
        {"no monitor: the table says why", "", 1, "There is no shared block named", ""},
        {"no monitor: json", "--json", 1, "\"count\": 0,\n  \"sources\": []\n}", ""},
        {"no monitor: csv is the header alone", "--csv", 1,
         "index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n", ""},
        {"no such file", "--plugin \"" + bin + "nowhere\\KelvoDyn.dll\"", 2, "",
         "there is no such file"},
        {"a file that is no module", "--plugin \"" + scratch.folder() + "\\text.dll\"", 2, "",
         "cannot load"},
        {"a program with no exports", "--plugin \"" + bin + "kdmonitor.exe\"", 2, "",
         "GetSourcesNum, GetSourceDesc and GetSourceData are missing"},
        {"a plug-in without GetSourceDesc", "--plugin \"" + bin + "partial_plugin.dll\"", 2, "",
         "partial_plugin.dll is not a usable plug-in: GetSourceDesc is missing"},
        {"an unknown option", "--bogus", 3, "", "unknown option '--bogus'"},
        {"two formats", "--json --csv", 3, "", "choose one of --json and --csv"},
        {"timing without --watch", "--interval 100", 3, "", "need --watch"},
        {"diagnose with others", "--diagnose --json", 3, "", "takes no other options"},
        {"a log that cannot be opened", "--log \"" + bin + "nowhere\\log.csv\"", 3, "",
         "cannot open the log file"},
        {"help", "--help", 0, "Exit codes:", ""},
    };
    for (const ExitCase &c : cases) {
        SCOPED_TRACE(c.what);
        std::string output, errors;
        EXPECT_EQ(RunTool("kdhost.exe", c.arguments, &output, &errors), c.code) << output << errors;
        EXPECT_NE(output.find(c.output), std::string::npos) << output;
        EXPECT_NE(errors.find(c.errors), std::string::npos) << errors;
        EXPECT_EQ(errors.empty(), c.errors.empty()) << errors;
    }
}

TEST(HostHelp, ExplainsEveryOption) {
    std::string help;
    ASSERT_EQ(RunTool("kdhost.exe", "--help", &help), 0);
    for (const char *option : {"--plugin PATH", "--watch", "--interval MS", "--duration S",
                               "--json", "--csv", "--log FILE", "--diagnose", "--help"}) {
        EXPECT_NE(help.find(std::string("  ") + option + " "), std::string::npos) << option;
    }
}

} // namespace
