// kdhost.exe run as a user runs it, against kdmonitor.exe in a process of its
// own: what it prints through a pipe in each format and in its log, and the
// exit codes and messages of both tools' command lines.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <regex>

#include "exit_codes.h"
#include "support/fake_monitor.h"
#include "support/file_text.h"
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

// kdmonitor --temps 45.5,52,400,38.88 --fans 900,1200,0: 400 degrees is past
// the plug-in's bound, so that source has no reading; 38.88 is no float, and
// every format shows it as the monitor published it.
const SourceCase kPublished[] = {
    {"first temperature", 0, "temperature", "KD temperature 1", "45.50  " + C, "45.5",
     "0,temperature,KD temperature 1,45.5," + C + ",0,150,6"},
    {"second temperature", 1, "temperature", "KD temperature 2", "52.00  " + C, "52",
     "1,temperature,KD temperature 2,52," + C + ",0,150,6"},
    {"temperature past the bound", 2, "temperature", "KD temperature 3", "no reading", "null",
     "2,temperature,KD temperature 3,," + C + ",0,150,6"},
    {"hundredths, not the float's tail", 3, "temperature", "KD temperature 4", "38.88  " + C,
     "38.88", "3,temperature,KD temperature 4,38.88," + C + ",0,150,6"},
    {"first fan", 4, "fan", "KD fan speed 1", "900  RPM", "900",
     "4,fan,KD fan speed 1,900,RPM,0,7000,7"},
    {"second fan", 5, "fan", "KD fan speed 2", "1200  RPM", "1200",
     "5,fan,KD fan speed 2,1200,RPM,0,7000,7"},
    {"stopped fan", 6, "fan", "KD fan speed 3", "0  RPM", "0",
     "6,fan,KD fan speed 3,0,RPM,0,7000,7"},
};

TEST(HostSnapshot, TableJsonCsvAndLogShowThePublishedSources) {
    ASSERT_FALSE(BlockNameOpens()) << "a block of that name was left behind";
    PluginCopy scratch("host snapshot"); // a folder for the log
    ASSERT_TRUE(scratch.ok());
    const std::string log = scratch.folder() + "\\snapshot.csv";
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 45.5,52,400,38.88 --fans 900,1200,0", monitor));

    std::string table, json, csv;
    ASSERT_EQ(RunTool("kdhost.exe", "--log \"" + log + "\"", &table), 0) << table;
    ASSERT_EQ(RunTool("kdhost.exe", "--json", &json), 0) << json;
    ASSERT_EQ(RunTool("kdhost.exe", "--csv", &csv), 0) << csv;
    std::vector<std::string> logLines = Lines(FileText(log));

    EXPECT_EQ(RowCount(table), 7u) << table;
    EXPECT_NE(json.find("\"count\": 7,"), std::string::npos) << json;
    std::vector<std::string> csvLines = Lines(csv);
    ASSERT_EQ(csvLines.size(), 8u) << csv;
    ASSERT_EQ(logLines.size(), 8u);
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
        const std::string &logRow = logLines[size_t(c.index) + 1];
        EXPECT_EQ(logRow.substr(logRow.find(',') + 1), c.csvRow) << "the log's row";
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

// What --interval says of a value that is no number of the grammar, before the value.
const std::string kInterval =
    "--interval takes milliseconds from 10 to 3600000, as digits (e.g. 500), not ";

void ExpectExits(const char *program, const std::vector<ExitCase> &cases) {
    for (const ExitCase &c : cases) {
        SCOPED_TRACE(std::string(program) + " " + c.arguments + ": " + c.what);
        std::string output, errors;
        EXPECT_EQ(RunTool(program, c.arguments, &output, &errors), c.code) << output << errors;
        EXPECT_NE(output.find(c.output), std::string::npos) << output;
        EXPECT_NE(errors.find(c.errors), std::string::npos) << errors;
        EXPECT_EQ(errors.empty(), c.errors.empty()) << errors;
    }
}

TEST(HostExitCodes, WithoutAMonitorAndWithUnusablePlugins) {
    ASSERT_FALSE(BlockNameOpens()) << "these cases need no monitor running";
    PluginCopy scratch("host unusable");
    ASSERT_TRUE(scratch.ok());
    scratch.WriteFile("text.dll", "not a module at all\r\n");
    scratch.WriteFile("empty.dll", "");
    const std::string bin = BuildDir() + "\\";
    // A plug-in named without an extension, beside an unusable "KelvoDyn.dll"
    // that the loader would take if it added ".dll" to the name.
    PluginCopy bare("host bare name", "KelvoDyn");
    ASSERT_TRUE(bare.ok());
    std::ifstream partial(bin + "partial_plugin.dll", std::ios::binary);
    bare.WriteFile("KelvoDyn.dll", std::string(std::istreambuf_iterator<char>(partial), {}));
    ExpectExits(
        "kdhost.exe",
        {
            {"no monitor: table", "", kExitNo, "No sources: the plug-in reports 0.", ""},
            {"no monitor: the table says why", "", kExitNo, "There is no shared block named", ""},
            {"no monitor: json", "--json", kExitNo, "\"count\": 0,\n  \"sources\": []\n}", ""},
            {"no monitor: csv is the header alone", "--csv", kExitNo,
             "index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n", ""},
            {"no such file", "--plugin \"" + bin + "nothing.dll\"", kExitNoPlugin, "",
             "nothing.dll: there is no such file"},
            {"no such folder", "--plugin \"" + bin + "nowhere\\KelvoDyn.dll\"", kExitNoPlugin, "",
             "KelvoDyn.dll: there is no such folder"},
            {"a folder", "--plugin \"" + scratch.folder() + "\"", kExitNoPlugin, "",
             ": it is a folder"},
            {"a file that is no module", "--plugin \"" + scratch.folder() + "\\text.dll\"",
             kExitNoPlugin, "", "text.dll is not a DLL: it is no Windows program file at all"},
            {"an empty file", "--plugin \"" + scratch.folder() + "\\empty.dll\"", kExitNoPlugin, "",
             "empty.dll is not a DLL"},
            {"a program, not a DLL", "--plugin \"" + bin + "kdmonitor.exe\"", kExitNoPlugin, "",
             "kdmonitor.exe is a Windows program, not a DLL"},
            {"a plug-in without GetSourceDesc", "--plugin \"" + bin + "partial_plugin.dll\"",
             kExitNoPlugin, "",
             "partial_plugin.dll is not a usable plug-in: GetSourceDesc is missing"},
            {"the value joined with '='", "\"--plugin=" + bin + "partial_plugin.dll\"",
             kExitNoPlugin, "", "partial_plugin.dll is not a usable plug-in"},
            {"a file name without an extension is that file",
             "--plugin \"" + bare.folder() + "\\KelvoDyn\"", kExitNo,
             "No sources: the plug-in reports 0.", ""},
            {"an empty plug-in path", "--plugin \"\"", kExitUsage, "",
             "--plugin needs a file name"},
            {"an unknown option", "--bogus", kExitUsage, "", "unknown option '--bogus'"},
            {"a flag given a value", "--watch=yes", kExitUsage, "", "--watch takes no value"},
            {"a value given twice", "--plugin a.dll --plugin=b.dll", kExitUsage, "",
             "--plugin is given twice"},
            {"two formats", "--json --csv", kExitUsage, "", "choose one of --json and --csv"},
            {"timing without --watch", "--interval 100", kExitUsage, "", "need --watch"},
            {"a negative duration", "--watch --duration -1", kExitUsage, "", "(0: until stopped)"},
            // Numbers are read by the tools' one grammar: digits, no more.
            {"an interval in hex", "--watch --interval 0x1F", kExitUsage, "", kInterval + "'0x1F'"},
            {"an interval after a space", "--watch --interval \" 70\"", kExitUsage, "",
             kInterval + "' 70'"},
            {"a duration with an exponent", "--watch --duration 1e1", kExitUsage, "",
             "stopped), not '1e1'"},
            {"diagnose with others", "--diagnose --json", kExitUsage, "", "takes no other options"},
            {"a log in no folder", "--log \"" + bin + "nowhere\\log.csv\"", kExitFileFailed, "",
             "cannot open the log file " + bin + "nowhere\\log.csv: there is no such folder"},
            {"a log that is a folder", "--log \"" + scratch.folder() + "\"", kExitFileFailed, "",
             "cannot open the log file " + scratch.folder() + ": it is a folder"},
            {"help", "--help", kExitOk, "Exit codes:", ""},
            {"the version", "--version", kExitOk, "kdhost " KD_PROJECT_VERSION "\n", ""},
        });
}

// Advice that holds only under Wine (prefixes, xvfb-run) is given only there:
// on Windows (forced here by the test hook of RunsUnderWine) the missing
// monitor and every plug-in the loader refuses are told in Windows words.
TEST(HostExitCodes, WineAdviceOnlyUnderWine) {
    ASSERT_FALSE(BlockNameOpens()) << "these cases need no monitor running";
    const std::string bin = BuildDir() + "\\";
    const char *wineWords = "wine|xvfb|prefix";
    const struct {
        const char *what;
        const char *assumeWindows; // KD_ASSUME_WINDOWS, or nullptr for none
        std::string arguments;
        int code;
        const char *present; // in standard output or standard error
        const char *absent;  // a pattern, matched without regard to case
    } cases[] = {
        {"no monitor, under Wine", nullptr, "", kExitNo, "running in this Wine prefix", "session"},
        {"no monitor, on Windows", "1", "", kExitNo, "(or it runs in another session)", wineWords},
        {"no such plug-in, under Wine", nullptr, "--plugin \"" + bin + "nothing.dll\"",
         kExitNoPlugin, "there is no such file", wineWords},
        {"no such plug-in, on Windows", "1", "--plugin \"" + bin + "nothing.dll\"", kExitNoPlugin,
         "there is no such file", wineWords},
        {"a program, not a DLL, on Windows", "1", "--plugin \"" + bin + "kdmonitor.exe\"",
         kExitNoPlugin, "is a Windows program, not a DLL", wineWords},
        {"a plug-in lacking an export, on Windows", "1",
         "--plugin \"" + bin + "partial_plugin.dll\"", kExitNoPlugin, "GetSourceDesc is missing",
         wineWords},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SetEnvironmentVariableA("KD_ASSUME_WINDOWS", c.assumeWindows);
        std::string output, errors;
        EXPECT_EQ(RunTool("kdhost.exe", c.arguments, &output, &errors), c.code) << errors;
        const std::string said = Unwrapped(output + errors);
        EXPECT_NE(said.find(c.present), std::string::npos) << said;
        EXPECT_FALSE(std::regex_search(said, std::regex(c.absent, std::regex::icase))) << said;
    }
    SetEnvironmentVariableA("KD_ASSUME_WINDOWS", nullptr);
}

// kdmonitor's command line; the runs that start publishing end by themselves.
TEST(MonitorExitCodes, BadOptionsAndTheStartLine) {
    ASSERT_FALSE(BlockNameOpens()) << "these cases publish the block themselves";
    const std::string name = "\"KDSharedMemory_RUD\"";
    ExpectExits(
        "kdmonitor.exe",
        {
            {"the version", "--version", kExitOk, "kdmonitor " KD_PROJECT_VERSION "\n", ""},
            {"the old spelling of --layout-version", "--version 2", kExitUsage, "",
             "to publish layout version 2 use --layout-version 2"},
            {"a flag given a value", "--animate=yes", kExitUsage, "", "--animate takes no value"},
            {"a fan past 32 bits", "--fans 900,5000000000", kExitUsage, "",
             "--fans: '5000000000' is out of range"},
            {"a fraction of an RPM", "--fans 1.5", kExitUsage, "",
             "'1.5' is not a whole number of RPM"},
            {"a temperature past 32 bits of hundredths", "--temps 30000000", kExitUsage, "",
             "--temps: '30000000' is out of range"},
            {"an empty item", "--temps 45,", kExitUsage, "", "'' is not a temperature"},
            {"temperatures twice, joined and apart", "--temps=45 --temps 50", kExitUsage, "",
             "--temps is given twice"},
            {"a negative duration", "--duration -1", kExitUsage, "", "(0: until stopped)"},
            {"an interval with an exponent", "--interval 1e3", kExitUsage, "", kInterval + "'1e3'"},
            {"an interval in hex", "--interval 0x10", kExitUsage, "", kInterval + "'0x10'"},
            {"a fan with a plus sign", "--fans +900", kExitUsage, "", "'+900' is not a whole"},
            {"a layout version past 16 bits", "--layout-version 70000", kExitUsage, "",
             "--layout-version takes a number from 0 to 65535"},
            {"stop with none running", "--stop", kExitNo, "", "no monitor is running"},
            {"layout version 1 is no oddity", "--layout-version 1 --duration 0.1", kExitOk,
             "publishing 2 temperatures and 3 fans in " + name + "; Ctrl+C to stop\n", ""},
            {"a malformed layout version", "--layout-version 2 --duration 0.1", kExitOk,
             name + " (layout version 2 on purpose: plug-ins will reject it);", ""},
            {"a size too small", "--size 401 --duration 0.1", kExitOk,
             "(declared size 401 bytes on purpose: plug-ins will reject it)", ""},
            {"a larger size", "--size=4096 --duration 0.1", kExitOk,
             "(declared size 4096 bytes on purpose: plug-ins accept it)", ""},
            {"too many temperatures", "--counts 33,0,0 --duration 0.1", kExitOk,
             "publishing 33 temperatures and 0 fans in " + name +
                 " (counts 33,0,0 on purpose: plug-ins will reject it)",
             ""},
            {"two at once", "--layout-version 7 --size 10 --duration 0.1", kExitOk,
             "(layout version 7 and declared size 10 bytes on purpose: plug-ins will reject it)",
             ""},
            {"not live", "--not-live --duration 0.1", kExitOk,
             "(marked not live on purpose: plug-ins show no readings)", ""},
            {"no temperatures means no fans either", "--temps \"\" --duration 0.1", kExitOk,
             "publishing 0 temperatures and 0 fans in", ""},
            {"no temperatures, one fan", "--temps \"\" --fans 900 --duration 0.1", kExitOk,
             "publishing 0 temperatures and 1 fan in", ""},
            {"values joined", "--temps=38.88 --fans=900,0 --duration=0.1", kExitOk,
             "publishing 1 temperature and 2 fans in", ""},
        });
}

TEST(ToolHelp, ExplainsEveryOptionAndTheDurationRule) {
    const struct {
        const char *program;
        std::vector<const char *> options;
    } tools[] = {
        {"kdhost.exe",
         {"--plugin PATH", "--watch", "--interval MS", "--duration S", "--json", "--csv",
          "--log FILE", "--diagnose", "--version", "--help"}},
        {"kdmonitor.exe",
         {"--temps LIST", "--fans LIST", "--animate", "--duration S", "--not-live",
          "--layout-version N\n", "--size N", "--counts T,F,E", "--stop", "--version", "--help"}},
    };
    for (const auto &tool : tools) {
        std::string help;
        ASSERT_EQ(RunTool(tool.program, "--help", &help), 0) << tool.program;
        for (const char *option : tool.options) {
            std::string shown = std::string("\n  ") + option;
            EXPECT_NE(help.find(option[std::strlen(option) - 1] == '\n' ? shown : shown + " "),
                      std::string::npos)
                << tool.program << " " << option;
        }
        EXPECT_NE(Unwrapped(help).find("(0, the default:"), std::string::npos) << tool.program;
        EXPECT_NE(help.find("Exit codes:\n"), std::string::npos) << tool.program;
    }
}

} // namespace
